#include "PixelOps.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "ParallelRows.h"

namespace zvkImage {

void PixelOps::MirrorHorizontal(PixelImage& image) {
  const int w = image.Width();
  ParallelRows(image.Height(), 64, [&](int y0, int y1) {
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
  ParallelRows(image.Height(), 64, [&](int y0, int y1) {
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
  ParallelRows(image.Height(), 64, [&](int y0, int y1) {
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

PixelImage PixelOps::Sharpen(const PixelImage& image, int kernel, int strength) {
  const int w = image.Width(), h = image.Height(), r = kernel / 2;
  PixelImage out = image.Clone();
  if (image.Empty() || strength == 0) return out;
  const int area = kernel * kernel;
  // amount in 1/256: p + amount * (p - mean) / 256
  const int amount = int(std::lround(strength * 2.56));
  const int rowBytes = w * 3;
  ParallelRows(h, 32, [&](int y0, int y1) {
    // Column sums over the kernel's rows of horizontal box sums.
    std::vector<int> hsum(size_t(rowBytes) * size_t(kernel));
    std::vector<int> vsum(size_t(rowBytes), 0);
    auto horizontal = [&](int y, int* dst) {
      const uint8_t* s = image.Row(std::clamp(y, 0, h - 1));
      for (int c = 0; c < 3; ++c) {
        int acc = 0;
        for (int k = -r; k <= r; ++k) acc += s[3 * std::clamp(k, 0, w - 1) + c];
        for (int x = 0; x < w; ++x) {
          dst[3 * x + c] = acc;
          acc += s[3 * std::min(x + r + 1, w - 1) + c] - s[3 * std::max(x - r, 0) + c];
        }
      }
    };
    for (int k = 0; k < kernel; ++k) {
      int* slot = &hsum[size_t(k) * rowBytes];
      horizontal(y0 - r + k, slot);
      for (int i = 0; i < rowBytes; ++i) vsum[i] += slot[i];
    }
    for (int y = y0; y < y1; ++y) {
      const uint8_t* s = image.Row(y);
      uint8_t* d = out.Row(y);
      for (int i = 0; i < rowBytes; ++i) {
        const int p = s[i];
        const int mean256 = (vsum[i] * 256 + area / 2) / area;  // mean in 1/256
        int v = p + int((int64_t(amount) * (p * 256 - mean256)) / 65536);
        d[i] = uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
      }
      if (y + 1 < y1) {  // slide the window down one row
        int* slot = &hsum[size_t((y - y0) % kernel) * rowBytes];
        for (int i = 0; i < rowBytes; ++i) vsum[i] -= slot[i];
        horizontal(y + r + 1, slot);
        for (int i = 0; i < rowBytes; ++i) vsum[i] += slot[i];
      }
    }
  });
  return out;
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
  ParallelRows(image.Height(), 64, [&](int y0, int y1) {
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
