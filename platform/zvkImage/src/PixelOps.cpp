#include "PixelOps.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "ParallelRows.h"

namespace zvkImage {

void PixelOps::MirrorHorizontal(PixelImage& image) {
  const int w = image.Width();
  ParallelPixelRows(image.Height(), w, [&](int y0, int y1) {
    for (int y = y0; y < y1; ++y) {
      uint8_t* r = image.Row(y);
      for (int a = 0, b = w - 1; a < b; ++a, --b) {
        std::swap(r[3 * a], r[3 * b]);
        std::swap(r[3 * a + 1], r[3 * b + 1]);
        std::swap(r[3 * a + 2], r[3 * b + 2]);
      }
      if (image.HasAlpha()) std::reverse(image.AlphaRow(y), image.AlphaRow(y) + w);
    }
  });
}

void PixelOps::MirrorVertical(PixelImage& image) {
  const int h = image.Height(), w = image.Width();
  const size_t bytes = size_t(w) * 3;
  std::vector<uint8_t> tmp(std::max<size_t>(bytes, size_t(w)));
  for (int a = 0, b = h - 1; a < b; ++a, --b) {
    std::memcpy(tmp.data(), image.Row(a), bytes);
    std::memcpy(image.Row(a), image.Row(b), bytes);
    std::memcpy(image.Row(b), tmp.data(), bytes);
    if (image.HasAlpha()) std::swap_ranges(image.AlphaRow(a), image.AlphaRow(a) + w, image.AlphaRow(b));
  }
}

void PixelOps::ApplyTables(PixelImage& image, const ChannelTables& t) {
  const int w = image.Width();
  ParallelPixelRows(image.Height(), w, [&](int y0, int y1) {
    for (int y = y0; y < y1; ++y) {
      uint8_t* p = image.Row(y);
      for (int x = 0; x < w; ++x, p += 3) {
        p[0] = t.blue[p[0]];
        p[1] = t.green[p[1]];
        p[2] = t.red[p[2]];
      }
    }
  });
}

void PixelOps::AdjustSaturation(PixelImage& image, float factor) {
  const int k = int(std::lround((1.0 + double(factor)) * 256.0));
  if (k == 256) return;
  const int w = image.Width();
  ParallelPixelRows(image.Height(), w, [&](int y0, int y1) {
    for (int y = y0; y < y1; ++y) {
      uint8_t* p = image.Row(y);
      for (int x = 0; x < w; ++x, p += 3) {
        const int grey = (p[0] * 29 + p[1] * 150 + p[2] * 77 + 128) >> 8;
        for (int c = 0; c < 3; ++c) {
          int v = grey + (((p[c] - grey) * k + (1 << 7)) >> 8);
          p[c] = uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
        }
      }
    }
  });
}

namespace {

// The unsharp mask over rows [begin, end) of one part, in place. Rows the part reads but does not own
// (up to r above and below it) come from `outside`, copied before any part began, since a neighbouring part
// may have sharpened them already; a row of the part is read (for its box sums) before it is written.
template <int kernel, bool wide>
void SharpenRows(PixelImage& image, int begin, int end, int amount, const uint8_t* outside, int* hsum,
                 int* vsum, uint8_t* padded) {
  constexpr int r = kernel / 2, area = kernel * kernel;
  const int w = image.Width(), h = image.Height(), rowBytes = w * 3;
  const auto source = [&](int y) -> const uint8_t* {
    y = std::clamp(y, 0, h - 1);
    if (y >= begin && y < end) return image.Row(y);
    const int slot = y < begin ? y - (begin - r) : r + (y - end);  // r rows above, then r below
    return outside + size_t(slot) * size_t(rowBytes);
  };
  // Box sums along a row: the row with its edge pixels repeated r times, then kernel taps per byte.
  const auto horizontal = [&](int y, int* dst) {
    const uint8_t* s = source(y);
    for (int k = 0; k < r; ++k) {
      std::memcpy(padded + 3 * k, s, 3);
      std::memcpy(padded + 3 * (r + w + k), s + 3 * (w - 1), 3);
    }
    std::memcpy(padded + 3 * r, s, size_t(rowBytes));
    for (int i = 0; i < rowBytes; ++i) {
      int acc = 0;
      for (int k = 0; k < kernel; ++k) acc += padded[i + 3 * k];
      dst[i] = acc;
    }
  };
  std::fill(vsum, vsum + rowBytes, 0);
  for (int k = 0; k < kernel; ++k) {
    int* slot = hsum + size_t(k) * rowBytes;
    horizontal(begin - r + k, slot);
    for (int i = 0; i < rowBytes; ++i) vsum[i] += slot[i];
  }
  for (int y = begin; y < end; ++y) {
    uint8_t* d = image.Row(y);
    for (int i = 0; i < rowBytes; ++i) {
      const int p = d[i];
      const int mean256 = (vsum[i] * 256 + area / 2) / area;  // mean in 1/256
      const int v = wide ? p + int((int64_t(amount) * (p * 256 - mean256)) / 65536)
                         : p + (amount * (p * 256 - mean256)) / 65536;
      d[i] = uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
    if (y + 1 < end) {  // slide the window down one row
      int* slot = hsum + size_t((y - begin) % kernel) * rowBytes;
      for (int i = 0; i < rowBytes; ++i) vsum[i] -= slot[i];
      horizontal(y + r + 1, slot);
      for (int i = 0; i < rowBytes; ++i) vsum[i] += slot[i];
    }
  }
}

template <int kernel>
void SharpenInPlace(PixelImage& image, int amount) {
  constexpr int r = kernel / 2;
  const int w = image.Width(), h = image.Height(), rowBytes = w * 3;
  const int parts = std::min(h, PixelRowParts(h, int64_t(w) * kernel));
  const auto first = [&](int p) { return int(int64_t(h) * p / parts); };
  // Everything is allocated before the first pixel changes, so a failure leaves the picture as it was.
  std::vector<uint8_t> outside(size_t(parts) * 2 * r * size_t(rowBytes));
  for (int p = 0; p < parts; ++p)
    for (int k = 0; k < 2 * r; ++k) {
      const int y = std::clamp(k < r ? first(p) - r + k : first(p + 1) + (k - r), 0, h - 1);
      std::memcpy(&outside[(size_t(p) * 2 * r + k) * rowBytes], image.Row(y), size_t(rowBytes));
    }
  std::vector<int> hsum(size_t(parts) * kernel * rowBytes), vsum(size_t(parts) * rowBytes);
  std::vector<uint8_t> padded(size_t(parts) * (size_t(rowBytes) + 6 * r));
  // amount * (p * 256 - mean) stays within 32 bits for any strength up to 12850.
  const bool wide = int64_t(amount) * 65280 > INT32_MAX;
  ParallelParts(h, parts, [&](int begin, int end) {
    const int p = int((int64_t(begin) * parts + parts - 1) / h);  // the part that starts at begin
    const uint8_t* out = &outside[size_t(p) * 2 * r * rowBytes];
    int* hs = &hsum[size_t(p) * kernel * rowBytes];
    int* vs = &vsum[size_t(p) * rowBytes];
    uint8_t* pad = &padded[size_t(p) * (size_t(rowBytes) + 6 * r)];
    if (wide)
      SharpenRows<kernel, true>(image, begin, end, amount, out, hs, vs, pad);
    else
      SharpenRows<kernel, false>(image, begin, end, amount, out, hs, vs, pad);
  });
}

}  // namespace

void PixelOps::Sharpen(PixelImage& image, int kernel, int strength) {
  if (image.Empty() || strength == 0) return;
  // amount in 1/256: p + amount * (p - mean) / 256
  const int amount = int(std::lround(strength * 2.56));
  if (kernel == 3)
    SharpenInPlace<3>(image, amount);
  else if (kernel == 5)
    SharpenInPlace<5>(image, amount);
  else
    SharpenInPlace<7>(image, amount);
}

// params: key hue, hue range, third hue angle (fractions of a turn; a negative key hue keys nothing),
// edge threshold and edge smoothing (saturation from 0 to 1). A pixel whose hue lies within the range of
// the key hue is keyed fully, within a further third-angle it is keyed less and less; pixels with a
// saturation below the threshold are not keyed, and the keying grows over the smoothing band above it.
// The pixel's alpha becomes the smaller of its old alpha and 1 - keying.
void PixelOps::HueKey(PixelImage& image, const float params[5]) {
  const double key = params[0];
  const double range = std::fabs(params[1]), third = std::fabs(params[2]);
  const double threshold = params[3], smooth = std::max(1e-6f, std::fabs(params[4]));
  if (!image.HasAlpha()) image.AddAlpha(255);
  // -1 degree is what a key colour the program does not know gives: it keys nothing. Any other hue, also a
  // negative one (an offset below the screen's hue), wraps round the circle.
  if (std::fabs(key + 1.0 / 360.0) < 1e-6) return;
  const double keyHue = key - std::floor(key);
  // Keying by hue (0..255) and by saturation (0..255), as tables.
  uint8_t hueWeight[1536];
  for (int i = 0; i < 1536; ++i) {
    const double hue = i / 1536.0;
    double d = std::fabs(hue - keyHue);
    d = std::min(d, 1.0 - d);
    double k = d <= range ? 1.0 : (third > 0 && d < range + third ? 1.0 - (d - range) / third : 0.0);
    hueWeight[i] = uint8_t(std::lround(k * 255.0));
  }
  uint8_t satWeight[256];
  for (int i = 0; i < 256; ++i) {
    const double s = i / 255.0;
    satWeight[i] = uint8_t(std::lround(std::clamp((s - threshold) / smooth, 0.0, 1.0) * 255.0));
  }
  const int w = image.Width();
  ParallelPixelRows(image.Height(), w, [&](int y0, int y1) {
    for (int y = y0; y < y1; ++y) {
      const uint8_t* p = image.Row(y);
      uint8_t* a = image.AlphaRow(y);
      for (int x = 0; x < w; ++x, p += 3) {
        const int b = p[0], g = p[1], r = p[2];
        const int mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b));
        const int chroma = mx - mn;
        if (chroma == 0) continue;
        int h6;  // hue in 1/1536 of a turn
        if (mx == r)
          h6 = ((g - b) * 256) / chroma;
        else if (mx == g)
          h6 = 512 + ((b - r) * 256) / chroma;
        else
          h6 = 1024 + ((r - g) * 256) / chroma;
        if (h6 < 0) h6 += 1536;
        if (h6 >= 1536) h6 -= 1536;
        const int sat = (chroma * 255) / mx;
        const int keying = (hueWeight[h6] * satWeight[sat] + 127) / 255;
        const int alpha = 255 - keying;
        if (alpha < a[x]) a[x] = uint8_t(alpha);
      }
    }
  });
}

}  // namespace zvkImage
