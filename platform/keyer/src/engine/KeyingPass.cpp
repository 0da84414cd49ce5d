#include "keyer/KeyingPass.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "AreaCoverage.h"
#include "keyer/LutGeometry.h"

namespace keyer {

namespace {

// Per code: the table offset of its cell along each axis and its position inside the cell.
// Per combination of the three positions: the tetrahedron of the cell that holds the colour,
// as offsets of its second and third corners and the four weights (summing to 4).
struct Tetrahedron {
  uint32_t second, third;
  uint16_t w0, w1, w2, w3;
};

struct Tables {
  uint32_t offset[3][256];
  uint8_t position[3][256];
  Tetrahedron tetra[64];
  uint32_t far;

  Tables() {
    const uint32_t axis[3] = {LutGeometry::kAxisNodes * LutGeometry::kAxisNodes, LutGeometry::kAxisNodes, 1};
    for (int code = 0; code < 256; ++code) {
      for (int a = 0; a < 3; ++a) {
        offset[a][code] = static_cast<uint32_t>(code / LutGeometry::kStep) * axis[a];
        position[a][code] = static_cast<uint8_t>((code % LutGeometry::kStep) << (2 * (2 - a)));
      }
    }
    far = axis[0] + axis[1] + axis[2];
    for (int combo = 0; combo < 64; ++combo) {
      int f[3] = {(combo >> 4) & 3, (combo >> 2) & 3, combo & 3};
      int order[3] = {0, 1, 2};
      std::stable_sort(order, order + 3, [&](int x, int y) { return f[x] > f[y]; });
      Tetrahedron& t = tetra[combo];
      t.second = axis[order[0]];
      t.third = axis[order[0]] + axis[order[1]];
      t.w0 = static_cast<uint16_t>(4 - f[order[0]]);
      t.w1 = static_cast<uint16_t>(f[order[0]] - f[order[1]]);
      t.w2 = static_cast<uint16_t>(f[order[1]] - f[order[2]]);
      t.w3 = static_cast<uint16_t>(f[order[2]]);
    }
  }
};

const Tables& Lookup() {
  static const Tables tables;
  return tables;
}

}  // namespace

KeyingPass::KeyingPass(const KeyerState* state, const KeyerAreas* areas, const AreaPlacement& placement,
                       const KeyingPlanes& planes)
    : state_(state && state->Keys() ? state : nullptr), planes_(planes) {
  if (areas && !areas->Empty()) {
    coverage_ = new AreaCoverage(*areas, placement, planes.width, planes.height);
    if (coverage_->Empty()) {
      delete coverage_;
      coverage_ = nullptr;
    }
  }
}

KeyingPass::~KeyingPass() { delete coverage_; }

void KeyingPass::KeyRow(const uint8_t* src, uint8_t* colour, uint8_t* alpha, int width) const {
  if (!state_) {
    if (colour != src) std::memmove(colour, src, static_cast<size_t>(width) * 3);
    std::memset(alpha, 255, static_cast<size_t>(width));
    return;
  }
  const Tables& tb = Lookup();
  const uint64_t* lut = state_->Table();
  const uint32_t bias = state_->TableBias();
  const uint32_t far = tb.far;
  for (int x = 0; x < width; ++x) {
    const uint8_t b = src[0], g = src[1], r = src[2];
    const uint32_t base = tb.offset[0][r] + tb.offset[1][g] + tb.offset[2][b] - bias;
    const Tetrahedron& t = tb.tetra[tb.position[0][r] | tb.position[1][g] | tb.position[2][b]];
    uint64_t sum = lut[base] * t.w0 + lut[base + t.second] * t.w1 + lut[base + t.third] * t.w2 +
                   lut[base + far] * t.w3 + 0x0020002000200020ull;
    sum >>= 6;
    colour[0] = static_cast<uint8_t>(std::min<uint32_t>(sum & 0x1FF, 255));
    colour[1] = static_cast<uint8_t>(std::min<uint32_t>((sum >> 16) & 0x1FF, 255));
    colour[2] = static_cast<uint8_t>(std::min<uint32_t>((sum >> 32) & 0x1FF, 255));
    alpha[x] = static_cast<uint8_t>((sum >> 48) & 0xFF);
    src += 3;
    colour += 3;
  }
}

void KeyingPass::BlendAreas(const uint16_t* protect, const uint16_t* garbage, const uint8_t* original,
                            uint8_t* colour, uint8_t* alpha, int first, int end) {
  for (int x = first; x < end; ++x) {
    uint32_t gcov = garbage[x], pcov = protect[x];
    if ((gcov | pcov) == 0) continue;
    uint32_t a = alpha[x];
    a = (a * (256 - gcov) + 128) >> 8;
    if (pcov) {
      a = (a * (256 - pcov) + 255 * pcov + 128) >> 8;
      for (int c = 0; c < 3; ++c) {
        uint32_t keyed = colour[3 * x + c], orig = original[3 * x + c];
        colour[3 * x + c] = static_cast<uint8_t>((keyed * (256 - pcov) + orig * pcov + 128) >> 8);
      }
    }
    alpha[x] = static_cast<uint8_t>(a);
  }
}

void KeyingPass::RunRows(int firstRow, int rowCount) const {
  const int width = planes_.width;
  if (width <= 0 || rowCount <= 0) return;
  const int end = std::min(planes_.height, firstRow + rowCount);
  firstRow = std::max(0, firstRow);
  std::vector<uint16_t> protect, garbage;
  std::vector<uint8_t> original;
  if (coverage_) {
    protect.resize(width);
    garbage.resize(width);
    original.resize(static_cast<size_t>(width) * 3);
  }
  for (int y = firstRow; y < end; ++y) {
    const uint8_t* src = planes_.source + y * planes_.sourceStride;
    uint8_t* colour = planes_.colour + y * planes_.colourStride;
    uint8_t* alpha = planes_.alpha + y * planes_.alphaStride;
    bool covered = coverage_ && coverage_->Row(y, protect, garbage);
    if (covered) std::memcpy(original.data(), src, original.size());  // the source may be overwritten
    KeyRow(src, colour, alpha, width);
    if (covered) BlendAreas(protect.data(), garbage.data(), original.data(), colour, alpha, 0, width);
  }
}

void KeyingPass::RunAreaRows(int firstRow, int rowCount, Span* span) const {
  const int width = planes_.width;
  if (span)
    for (int i = 0; i < std::max(rowCount, 0); ++i) span[i] = Span{};
  if (width <= 0 || rowCount <= 0 || !coverage_) return;
  const int end = std::min(planes_.height, firstRow + rowCount);
  std::vector<uint16_t> protect(width), garbage(width);
  std::vector<uint8_t> original(static_cast<size_t>(width) * 3);
  for (int y = std::max(0, firstRow); y < end; ++y) {
    if (!coverage_->Row(y, protect, garbage)) continue;
    int first = 0, last = width;
    while (first < width && (protect[first] | garbage[first]) == 0) ++first;
    while (last > first && (protect[last - 1] | garbage[last - 1]) == 0) --last;
    if (first == last) continue;
    const uint8_t* src = planes_.source + y * planes_.sourceStride + 3 * first;
    uint8_t* colour = planes_.colour + y * planes_.colourStride;
    uint8_t* alpha = planes_.alpha + y * planes_.alphaStride;
    uint8_t* orig = original.data() + 3 * first;
    std::memcpy(orig, src, static_cast<size_t>(last - first) * 3);  // the source may be overwritten
    KeyRow(orig, colour + 3 * first, alpha + first, last - first);
    BlendAreas(protect.data(), garbage.data(), original.data(), colour, alpha, first, last);
    if (span) span[y - firstRow] = Span{first, last};
  }
}

void ApplyState(const KeyerState* state, const uint8_t* bgr, ptrdiff_t stride, int width, int height,
                uint8_t* outBgr, ptrdiff_t outStride, uint8_t* alpha, ptrdiff_t alphaStride, const KeyerAreas* areas,
                const AreaPlacement& placement) {
  KeyingPlanes planes{bgr, stride, outBgr, outStride, alpha, alphaStride, width, height};
  KeyingPass(state, areas, placement, planes).Run();
}

}  // namespace keyer
