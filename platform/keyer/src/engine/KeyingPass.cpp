#include "keyer/KeyingPass.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "AreaCoverage.h"
#include "ScreenLight.h"
#include "keyer/KeyerTuning.h"
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

constexpr int kMapColumns = KeyerTuning::kLightMapColumns, kMapRows = KeyerTuning::kLightMapRows;
constexpr int kScreenAlpha = KeyerTuning::kLightMapScreenAlpha;
constexpr int kMapPixels = KeyerTuning::kLightMapPixels;

// Alpha (of 255) the table gives to one pixel.
uint8_t LookupAlpha(const Tables& tb, const uint64_t* lut, uint32_t bias, uint8_t r, uint8_t g, uint8_t b) {
  const uint32_t base = tb.offset[0][r] + tb.offset[1][g] + tb.offset[2][b] - bias;
  const Tetrahedron& t = tb.tetra[tb.position[0][r] | tb.position[1][g] | tb.position[2][b]];
  uint64_t sum = lut[base] * t.w0 + lut[base + t.second] * t.w1 + lut[base + t.third] * t.w2 +
                 lut[base + tb.far] * t.w3 + 0x0020002000200020ull;
  return static_cast<uint8_t>((sum >> 54) & 0xFF);
}

}  // namespace

void KeyingPass::MapScreenLight() {
  const int w = planes_.width, h = planes_.height;
  if (!state_ || w <= 0 || h <= 0) return;
  const Vec3& screen = state_->Model().screen;
  const int d = ScreenLight::ScreenChannel(screen);
  const int sourceByte = 2 - d;  // B, G, R in memory
  int32_t codeLevel[256];
  ScreenLight::FixedLevelsOfCodes(screen, codeLevel);
  const int columns = std::min(kMapColumns, w), rows = std::min(kMapRows, h);
  const double area = double(w) * h;
  const int step = std::max(1, static_cast<int>(std::sqrt(area / kMapPixels)));
  const Tables& tb = Lookup();
  const uint64_t* lut = state_->Table();
  const uint32_t bias = state_->TableBias();
  std::vector<std::vector<int32_t>> found(size_t(columns) * rows);
  for (int y = step / 2; y < h; y += step) {
    const uint8_t* src = planes_.source + y * planes_.sourceStride;
    const int cellRow = static_cast<int>(int64_t(y) * rows / h);
    for (int x = step / 2; x < w; x += step) {
      const uint8_t* p = src + 3 * x;
      const int32_t fixed = codeLevel[p[sourceByte]];
      const uint8_t* remap = ScreenLight::Remap(ScreenLight::Level(fixed));
      if (LookupAlpha(tb, lut, bias, remap[p[2]], remap[p[1]], remap[p[0]]) >= kScreenAlpha) continue;
      found[size_t(cellRow) * columns + static_cast<size_t>(int64_t(x) * columns / w)].push_back(fixed);
    }
  }
  mapLevels_ = ScreenLight::LevelGrid(found, columns, rows);
  if (mapLevels_.empty()) return;  // no screen seen, or lit evenly: every pixel keyed as it is
  mapColumns_ = columns;
  mapRows_ = rows;
  columnCell_.resize(w);
  columnWeight_.resize(w);
  for (int x = 0; x < w; ++x) {
    const double at = std::clamp((x + 0.5) * columns / w - 0.5, 0.0, double(columns - 1));
    const int cell = std::min(static_cast<int>(at), std::max(columns - 2, 0));
    columnCell_[x] = cell;
    columnWeight_[x] = columns > 1 ? static_cast<int32_t>(std::lround((at - cell) * 256)) : 0;
  }
}

bool KeyingPass::RowLevels(int y, int8_t* levels) const {
  if (mapLevels_.empty()) return false;
  const int w = planes_.width, columns = mapColumns_, rows = mapRows_;
  const double at = std::clamp((y + 0.5) * rows / planes_.height - 0.5, 0.0, double(rows - 1));
  const int cell = std::min(static_cast<int>(at), std::max(rows - 2, 0));
  const int32_t wy = rows > 1 ? static_cast<int32_t>(std::lround((at - cell) * 256)) : 0;
  const int32_t* top = mapLevels_.data() + size_t(cell) * columns;
  const int32_t* bottom = rows > 1 ? top + columns : top;
  int32_t row[kMapColumns + 1];
  for (int c = 0; c < columns; ++c) row[c] = top[c] * (256 - wy) + bottom[c] * wy;
  row[columns] = row[columns - 1];
  for (int x = 0; x < w; ++x) {
    const int c = columnCell_[x], wx = columnWeight_[x];
    const int64_t v = int64_t(row[c]) * (256 - wx) + int64_t(row[c + 1]) * wx;
    levels[x] = static_cast<int8_t>(ScreenLight::Level(static_cast<int32_t>((v + 32768) >> 16)));
  }
  return true;
}

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
  MapScreenLight();
}

KeyingPass::~KeyingPass() { delete coverage_; }

void KeyingPass::KeyRow(const uint8_t* src, uint8_t* colour, uint8_t* alpha, int width,
                        const int8_t* levels) const {
  if (!state_) {
    if (colour != src) std::memmove(colour, src, static_cast<size_t>(width) * 3);
    std::memset(alpha, 255, static_cast<size_t>(width));
    return;
  }
  const Tables& tb = Lookup();
  const uint64_t* lut = state_->Table();
  const uint32_t bias = state_->TableBias();
  const uint32_t far = tb.far;
  const uint8_t* remap = ScreenLight::Remap(0);  // level l's table lies l * 256 codes on
  for (int x = 0; x < width; ++x) {
    uint8_t b = src[0], g = src[1], r = src[2];
    const int level = levels ? levels[x] : 0;
    if (level) {
      const uint8_t* in = remap + level * 256;
      b = in[b];
      g = in[g];
      r = in[r];
    }
    const uint32_t base = tb.offset[0][r] + tb.offset[1][g] + tb.offset[2][b] - bias;
    const Tetrahedron& t = tb.tetra[tb.position[0][r] | tb.position[1][g] | tb.position[2][b]];
    uint64_t sum = lut[base] * t.w0 + lut[base + t.second] * t.w1 + lut[base + t.third] * t.w2 +
                   lut[base + far] * t.w3 + 0x0020002000200020ull;
    sum >>= 6;
    colour[0] = static_cast<uint8_t>(std::min<uint32_t>(sum & 0x1FF, 255));
    colour[1] = static_cast<uint8_t>(std::min<uint32_t>((sum >> 16) & 0x1FF, 255));
    colour[2] = static_cast<uint8_t>(std::min<uint32_t>((sum >> 32) & 0x1FF, 255));
    alpha[x] = static_cast<uint8_t>((sum >> 48) & 0xFF);
    if (level) {
      const uint8_t* back = remap - level * 256;
      colour[0] = back[colour[0]];
      colour[1] = back[colour[1]];
      colour[2] = back[colour[2]];
    }
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
  std::vector<int8_t> levels(mapLevels_.empty() ? 0 : width);
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
    const bool lit = RowLevels(y, levels.data());
    KeyRow(src, colour, alpha, width, lit ? levels.data() : nullptr);
    if (covered) BlendAreas(protect.data(), garbage.data(), original.data(), colour, alpha, 0, width);
  }
}

void KeyingPass::RunAreaRows(int firstRow, int rowCount, const RewrittenRun& rewritten) const {
  const int width = planes_.width;
  if (width <= 0 || rowCount <= 0 || !coverage_) return;
  const int end = std::min(planes_.height, firstRow + rowCount);
  std::vector<uint16_t> protect(width), garbage(width);
  std::vector<uint8_t> original(static_cast<size_t>(width) * 3);
  std::vector<int8_t> levels(mapLevels_.empty() ? 0 : width);
  for (int y = std::max(0, firstRow); y < end; ++y) {
    if (!coverage_->Row(y, protect, garbage)) continue;
    const uint8_t* srcRow = planes_.source + y * planes_.sourceStride;
    uint8_t* colour = planes_.colour + y * planes_.colourStride;
    uint8_t* alpha = planes_.alpha + y * planes_.alphaStride;
    bool lit = false, levelled = false;
    // Only the runs the areas cover: between them the planes already hold this keying.
    for (int first = 0; first < width;) {
      if ((protect[first] | garbage[first]) == 0) {
        ++first;
        continue;
      }
      int last = first + 1;
      while (last < width && (protect[last] | garbage[last]) != 0) ++last;
      if (!levelled) {
        lit = RowLevels(y, levels.data());
        levelled = true;
      }
      uint8_t* orig = original.data() + 3 * first;
      std::memcpy(orig, srcRow + 3 * first,
                  static_cast<size_t>(last - first) * 3);  // the source may be overwritten
      KeyRow(orig, colour + 3 * first, alpha + first, last - first, lit ? levels.data() + first : nullptr);
      BlendAreas(protect.data(), garbage.data(), original.data(), colour, alpha, first, last);
      if (rewritten) rewritten(y, Span{first, last});
      first = last;
    }
  }
}

void ApplyState(const KeyerState* state, const uint8_t* bgr, ptrdiff_t stride, int width, int height,
                uint8_t* outBgr, ptrdiff_t outStride, uint8_t* alpha, ptrdiff_t alphaStride,
                const KeyerAreas* areas, const AreaPlacement& placement) {
  KeyingPlanes planes{bgr, stride, outBgr, outStride, alpha, alphaStride, width, height};
  KeyingPass(state, areas, placement, planes).Run();
}

}  // namespace keyer
