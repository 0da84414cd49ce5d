#include "PaletteQuantizer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

#include "ParallelRows.h"

namespace zvkImage {
namespace {

inline uint32_t Key(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16; }
inline int Bin(const uint8_t* p) { return (p[2] >> 3) << 10 | (p[1] >> 3) << 5 | (p[0] >> 3); }

// Exact palette when the picture has at most 256 colours; false otherwise.
bool ExactPalette(const PixelImage& image, IndexedImage& out) {
  std::unordered_map<uint32_t, uint8_t> index;
  std::vector<uint32_t> order;
  const int w = image.Width(), h = image.Height();
  for (int y = 0; y < h; ++y) {
    const uint8_t* p = image.Row(y);
    for (int x = 0; x < w; ++x, p += 3) {
      const uint32_t k = Key(p);
      if (index.find(k) != index.end()) continue;
      if (order.size() == 256) return false;
      index.emplace(k, uint8_t(order.size()));
      order.push_back(k);
    }
  }
  // Palette in colour order so that equal pictures give equal files.
  std::sort(order.begin(), order.end());
  for (size_t i = 0; i < order.size(); ++i) index[order[i]] = uint8_t(i);
  out.palette.clear();
  for (uint32_t k : order) out.palette.push_back(RGBQUAD{uint8_t(k), uint8_t(k >> 8), uint8_t(k >> 16), 0});
  out.indices.resize(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y) {
    const uint8_t* p = image.Row(y);
    uint8_t* d = &out.indices[size_t(y) * w];
    for (int x = 0; x < w; ++x, p += 3) d[x] = index[Key(p)];
  }
  return true;
}

struct Box {
  int lo[3], hi[3];  // inclusive 5-bit bounds, channel order r, g, b
  int64_t count = 0;
};

}  // namespace

IndexedImage PaletteQuantizer::Quantize(const PixelImage& image) {
  IndexedImage out;
  if (ExactPalette(image, out)) return out;
  const int w = image.Width(), h = image.Height();
  std::vector<int64_t> count(32768, 0), sum(32768 * 3, 0);
  for (int y = 0; y < h; ++y) {
    const uint8_t* p = image.Row(y);
    for (int x = 0; x < w; ++x, p += 3) {
      const int b = Bin(p);
      ++count[b];
      sum[b * 3] += p[2];
      sum[b * 3 + 1] += p[1];
      sum[b * 3 + 2] += p[0];
    }
  }
  auto binOf = [](int r, int g, int b) { return r << 10 | g << 5 | b; };
  auto shrink = [&](Box& box) {
    int lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};
    box.count = 0;
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
      for (int g = box.lo[1]; g <= box.hi[1]; ++g)
        for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
          const int64_t c = count[binOf(r, g, b)];
          if (!c) continue;
          box.count += c;
          const int v[3] = {r, g, b};
          for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], v[k]), hi[k] = std::max(hi[k], v[k]);
        }
    if (box.count) std::memcpy(box.lo, lo, sizeof lo), std::memcpy(box.hi, hi, sizeof hi);
  };
  std::vector<Box> boxes(1, Box{{0, 0, 0}, {31, 31, 31}});
  shrink(boxes[0]);
  while (boxes.size() < 256) {
    int best = -1;
    int64_t bestScore = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      const Box& b = boxes[i];
      const int span = std::max({b.hi[0] - b.lo[0], b.hi[1] - b.lo[1], b.hi[2] - b.lo[2]});
      if (span == 0) continue;
      const int64_t score = b.count * span;
      if (score > bestScore) bestScore = score, best = int(i);
    }
    if (best < 0) break;
    Box box = boxes[size_t(best)];
    int axis = 0;
    for (int k = 1; k < 3; ++k)
      if (box.hi[k] - box.lo[k] > box.hi[axis] - box.lo[axis]) axis = k;
    // Median along the axis.
    std::vector<int64_t> slice(32, 0);
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
      for (int g = box.lo[1]; g <= box.hi[1]; ++g)
        for (int b = box.lo[2]; b <= box.hi[2]; ++b)
          slice[size_t(axis == 0 ? r : axis == 1 ? g : b)] += count[binOf(r, g, b)];
    int64_t acc = 0;
    int cut = box.lo[axis];
    for (int v = box.lo[axis]; v < box.hi[axis]; ++v) {
      acc += slice[size_t(v)];
      cut = v;
      if (acc * 2 >= box.count) break;
    }
    Box a = box, b = box;
    a.hi[axis] = cut;
    b.lo[axis] = cut + 1;
    shrink(a);
    shrink(b);
    boxes[size_t(best)] = a;
    if (b.count) boxes.push_back(b);
  }
  std::vector<int> binIndex(32768, 0);
  for (size_t i = 0; i < boxes.size(); ++i) {
    const Box& box = boxes[i];
    int64_t s[3] = {0, 0, 0}, n = 0;
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
      for (int g = box.lo[1]; g <= box.hi[1]; ++g)
        for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
          const int bin = binOf(r, g, b);
          binIndex[size_t(bin)] = int(i);
          n += count[size_t(bin)];
          for (int k = 0; k < 3; ++k) s[k] += sum[size_t(bin) * 3 + k];
        }
    const auto mean = [&](int k) { return uint8_t(n ? (s[k] + n / 2) / n : 0); };
    out.palette.push_back(RGBQUAD{mean(2), mean(1), mean(0), 0});
  }
  out.indices.resize(size_t(w) * size_t(h));
  ParallelPixelRows(h, w, [&](int y0, int y1) {
    for (int y = y0; y < y1; ++y) {
      const uint8_t* p = image.Row(y);
      uint8_t* d = &out.indices[size_t(y) * w];
      for (int x = 0; x < w; ++x, p += 3) d[x] = uint8_t(binIndex[size_t(Bin(p))]);
    }
  });
  return out;
}

std::vector<uint8_t> PaletteQuantizer::Grey(const PixelImage& image) {
  const int w = image.Width(), h = image.Height();
  std::vector<uint8_t> grey(size_t(w) * size_t(h));
  ParallelPixelRows(h, w, [&](int y0, int y1) {
    for (int y = y0; y < y1; ++y) {
      const uint8_t* p = image.Row(y);
      uint8_t* d = &grey[size_t(y) * w];
      for (int x = 0; x < w; ++x, p += 3) d[x] = uint8_t((p[0] * 29 + p[1] * 150 + p[2] * 77 + 128) >> 8);
    }
  });
  return grey;
}

}  // namespace zvkImage
