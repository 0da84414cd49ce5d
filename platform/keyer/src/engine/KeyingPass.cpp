#include "keyer/KeyingPass.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "AlphaSmoothing.h"
#include "AreaCoverage.h"
#include "ScreenCreases.h"
#include "ScreenLight.h"
#include "ScreenMap.h"
#include "ScreenMeasure.h"
#include "TableLookup.h"

namespace keyer {

KeyingPass::KeyingPass(const KeyerState* state, const KeyerAreas* areas, const AreaPlacement& placement,
                       const KeyingPlanes& planes, std::shared_ptr<const ScreenMeasure> measure)
    : state_(state && state->Keys() ? state : nullptr), planes_(planes) {
  if (areas && !areas->Empty()) {
    coverage_ = new AreaCoverage(*areas, placement, planes.width, planes.height);
    if (coverage_->Empty()) {
      delete coverage_;
      coverage_ = nullptr;
    }
  }
  if (!state_ || planes.width <= 0 || planes.height <= 0) return;
  measure_ = measure && measure->Fits(state_, planes)
                 ? std::move(measure)
                 : std::make_shared<const ScreenMeasure>(*state_, planes);
  map_ = measure_->Map();
  smoothing_ = measure_->Smoothing();
  creases_ = measure_->Creases();
}

KeyingPass::~KeyingPass() { delete coverage_; }

namespace {

// Keys a run of pixels through the table, each scaled first by its levels (kChannels per pixel: one
// shared by the three channels, or one each) and its colour back after; levels null: as they are.
template <int kChannels>
void KeyPixels(const KeyerState& state, const uint8_t* src, uint8_t* colour, uint8_t* alpha, int width,
               const int8_t* levels) {
  const TableLookup& lookup = TableLookup::Shared();
  const uint64_t* lut = state.Table();
  const uint32_t bias = state.TableBias();
  const uint8_t* remap = ScreenLight::Remap(0);  // level l's table lies l * 256 codes on
  for (int x = 0; x < width; ++x) {
    uint8_t b = src[0], g = src[1], r = src[2];
    int lb = 0, lg = 0, lr = 0;
    if (levels) {
      lb = levels[kChannels * x];
      lg = levels[kChannels * x + (kChannels - 1) / 2];
      lr = levels[kChannels * x + kChannels - 1];
    }
    const bool levelled = (lb | lg | lr) != 0;
    if (levelled) {
      b = remap[lb * 256 + b];
      g = remap[lg * 256 + g];
      r = remap[lr * 256 + r];
    }
    const uint64_t sum = lookup.Interpolate(lut, bias, r, g, b) >> 6;
    // Held in registers until the last store: the planes are bytes, which may alias anything.
    uint32_t c0 = std::min<uint32_t>(sum & 0x1FF, 255);
    uint32_t c1 = std::min<uint32_t>((sum >> 16) & 0x1FF, 255);
    uint32_t c2 = std::min<uint32_t>((sum >> 32) & 0x1FF, 255);
    if (levelled) {
      c0 = remap[int(c0) - lb * 256];
      c1 = remap[int(c1) - lg * 256];
      c2 = remap[int(c2) - lr * 256];
    }
    alpha[x] = static_cast<uint8_t>((sum >> 48) & 0xFF);
    colour[0] = static_cast<uint8_t>(c0);
    colour[1] = static_cast<uint8_t>(c1);
    colour[2] = static_cast<uint8_t>(c2);
    src += 3;
    colour += 3;
  }
}

}  // namespace

void KeyingPass::KeyRow(const uint8_t* src, uint8_t* colour, uint8_t* alpha, int width,
                        const int8_t* levels) const {
  if (!state_) {
    if (colour != src) std::memmove(colour, src, static_cast<size_t>(width) * 3);
    std::memset(alpha, 255, static_cast<size_t>(width));
    return;
  }
  if (map_ && map_->Channels() == 3)
    KeyPixels<3>(*state_, src, colour, alpha, width, levels);
  else
    KeyPixels<1>(*state_, src, colour, alpha, width, levels);
}

void KeyingPass::KeySpan(int y, int first, int end, const int8_t* levels, uint8_t* colour,
                         uint8_t* alpha) const {
  KeyRow(planes_.source + y * planes_.sourceStride + 3 * first, colour + 3 * first, alpha + first,
         end - first, levels ? levels + size_t(map_->Channels()) * first : nullptr);
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
  if (smoothing_ || creases_) {
    RunNeighbourRows(firstRow, end);
    return;
  }
  std::vector<uint16_t> protect, garbage;
  std::vector<uint8_t> original;
  std::vector<int8_t> levels(map_ ? size_t(width) * 3 : 0);
  if (coverage_) {
    protect.resize(width);
    garbage.resize(width);
    original.resize(static_cast<size_t>(width) * 3);
  }
  for (int y = firstRow; y < end; ++y) {
    const uint8_t* src = planes_.source + y * planes_.sourceStride;
    uint8_t* colour = planes_.colour + y * planes_.colourStride;
    uint8_t* alpha = planes_.alpha + y * planes_.alphaStride;
    int reach = 0, reachEnd = 0;  // the columns the areas reach
    const bool covered = coverage_ && coverage_->Row(y, protect, garbage, reach, reachEnd);
    if (covered)  // the source may be overwritten
      std::memcpy(original.data() + 3 * reach, src + 3 * reach, size_t(reachEnd - reach) * 3);
    if (map_) map_->RowLevels(y, levels.data());
    KeyRow(src, colour, alpha, width, map_ ? levels.data() : nullptr);
    if (covered) BlendAreas(protect.data(), garbage.data(), original.data(), colour, alpha, reach, reachEnd);
  }
}

int KeyingPass::SmoothReach() const { return smoothing_ ? smoothing_->Radius() : 0; }

int KeyingPass::CreaseReach() const { return creases_ ? ScreenCreases::Reach() : 0; }

void KeyingPass::RunNeighbourRows(int firstRow, int end) const {
  const int width = planes_.width, last = planes_.height - 1, r = SmoothReach(), ring = 2 * r + 1;
  const int k = CreaseReach(), markRing = 2 * k + 1;
  const size_t row3 = size_t(width) * 3;
  std::vector<uint8_t> colours(row3 * ring), raw(size_t(width) * ring), original(coverage_ ? row3 : 0);
  std::vector<uint16_t> protect(coverage_ ? width : 0), garbage(coverage_ ? width : 0);
  std::vector<int8_t> levels(map_ ? row3 : 0), marks(creases_ ? size_t(width) * markRing : 0);
  std::vector<uint8_t> own(marks.size());
  std::vector<const uint8_t*> around(ring);
  std::vector<const int8_t*> markRows(markRing);
  auto rawRow = [&](int y) { return raw.data() + size_t(y % ring) * width; };
  auto markRow = [&](int y) { return marks.data() + size_t(y % markRing) * width; };
  auto ownRow = [&](int y) { return own.data() + size_t(y % markRing) * width; };
  int keyed = std::max(firstRow - r, 0) - 1;       // the last row keyed into the ring
  int marked = std::max(firstRow - r - k, 0) - 1;  // the last row whose crease marks are in theirs
  for (int y = firstRow; y < end; ++y) {
    while (keyed < std::min(y + r, last)) {
      ++keyed;
      if (map_) map_->RowLevels(keyed, levels.data());
      KeySpan(keyed, 0, width, map_ ? levels.data() : nullptr, colours.data() + (keyed % ring) * row3,
              rawRow(keyed));
      if (!creases_) continue;
      while (marked < std::min(keyed + k, last)) {
        ++marked;
        creases_->Mark(planes_.source + marked * planes_.sourceStride, 0, width, markRow(marked),
                       ownRow(marked));
      }
      for (int j = 0; j < markRing; ++j) markRows[j] = markRow(std::clamp(keyed - k + j, 0, last));
      creases_->Row(markRows.data(), ownRow(keyed), 0, width, width, rawRow(keyed));
    }
    for (int j = 0; j < ring; ++j) around[j] = rawRow(std::clamp(y - r + j, 0, last));
    const uint8_t* src = planes_.source + y * planes_.sourceStride;
    uint8_t* colour = planes_.colour + y * planes_.colourStride;
    uint8_t* alpha = planes_.alpha + y * planes_.alphaStride;
    int reach = 0, reachEnd = 0;  // the columns the areas reach
    const bool covered = coverage_ && coverage_->Row(y, protect, garbage, reach, reachEnd);
    if (covered)  // the source may be overwritten
      std::memcpy(original.data() + 3 * reach, src + 3 * reach, size_t(reachEnd - reach) * 3);
    if (smoothing_)
      smoothing_->Row(around.data(), 0, width, width, alpha);
    else
      std::memcpy(alpha, rawRow(y), size_t(width));
    std::memcpy(colour, colours.data() + (y % ring) * row3, row3);
    if (covered) BlendAreas(protect.data(), garbage.data(), original.data(), colour, alpha, reach, reachEnd);
  }
}

void KeyingPass::KeyNeighbourSpan(int y, int first, int end, uint8_t* colour, uint8_t* alpha) const {
  const int width = planes_.width, last = planes_.height - 1, r = SmoothReach(), ring = 2 * r + 1;
  const int k = CreaseReach();
  const int lo = std::max(first - r, 0), hi = std::min(end + r, width);
  std::vector<uint8_t> colours(size_t(width) * 3), raw(size_t(width) * ring);
  std::vector<int8_t> levels(map_ ? size_t(width) * 3 : 0);
  std::vector<const uint8_t*> around(ring);
  // The crease marks of every row the ring's rows read, from markBase on, over the columns they read.
  const int markBase = std::max(y - r - k, 0), markTop = std::min(y + r + k, last);
  const size_t markCount = creases_ ? size_t(markTop - markBase + 1) * width : 0;
  std::vector<int8_t> marks(markCount);
  std::vector<uint8_t> own(markCount);
  std::vector<const int8_t*> markRows(2 * k + 1);
  for (int row = markBase; creases_ && row <= markTop; ++row)
    creases_->Mark(planes_.source + row * planes_.sourceStride, std::max(lo - k, 0), std::min(hi + k, width),
                   marks.data() + size_t(row - markBase) * width,
                   own.data() + size_t(row - markBase) * width);
  for (int j = 0; j < ring; ++j) {
    const int row = std::clamp(y - r + j, 0, last);
    uint8_t* rawRow = raw.data() + size_t(j) * width;
    if (map_) map_->RowLevels(row, levels.data());
    KeySpan(row, lo, hi, map_ ? levels.data() : nullptr, colours.data(), rawRow);
    if (j == r) std::memcpy(colour + 3 * first, colours.data() + 3 * first, size_t(end - first) * 3);
    if (creases_) {
      for (int i = 0; i <= 2 * k; ++i)
        markRows[i] = marks.data() + size_t(std::clamp(row - k + i, 0, last) - markBase) * width;
      creases_->Row(markRows.data(), own.data() + size_t(row - markBase) * width, lo, hi, width, rawRow);
    }
    around[j] = rawRow;
  }
  if (smoothing_)
    smoothing_->Row(around.data(), first, end, width, alpha);
  else
    std::memcpy(alpha + first, around[0] + first, size_t(end - first));
}

void KeyingPass::RunAreaRows(int firstRow, int rowCount, const RewrittenRun& rewritten) const {
  const int width = planes_.width;
  if (width <= 0 || rowCount <= 0 || !coverage_) return;
  const int end = std::min(planes_.height, firstRow + rowCount);
  std::vector<uint16_t> protect(width), garbage(width);
  std::vector<uint8_t> original(static_cast<size_t>(width) * 3);
  std::vector<int8_t> levels(map_ ? size_t(width) * 3 : 0);
  for (int y = std::max(0, firstRow); y < end; ++y) {
    int reach = 0, reachEnd = 0;  // the columns the areas reach
    if (!coverage_->Row(y, protect, garbage, reach, reachEnd)) continue;
    const uint8_t* srcRow = planes_.source + y * planes_.sourceStride;
    uint8_t* colour = planes_.colour + y * planes_.colourStride;
    uint8_t* alpha = planes_.alpha + y * planes_.alphaStride;
    bool levelled = false;
    // Only the runs the areas cover: between them the planes already hold this keying.
    for (int first = reach; first < reachEnd;) {
      if ((protect[first] | garbage[first]) == 0) {
        ++first;
        continue;
      }
      int last = first + 1;
      while (last < reachEnd && (protect[last] | garbage[last]) != 0) ++last;
      if (map_ && !levelled) {
        map_->RowLevels(y, levels.data());
        levelled = true;
      }
      std::memcpy(original.data() + 3 * first, srcRow + 3 * first,
                  static_cast<size_t>(last - first) * 3);  // the source may be overwritten
      // Where garbage covers a pixel whole and no protect area reaches it, its alpha is 0 and its colour
      // the keyed one the planes hold already: only the rest of the run is keyed again.
      const auto cleared = [&](int x) { return garbage[x] == AreaCoverage::kWhole && protect[x] == 0; };
      for (int x = first; x < last;) {
        const bool clear = cleared(x);
        int stop = x + 1;
        while (stop < last && cleared(stop) == clear) ++stop;
        if (clear)
          std::memset(alpha + x, 0, size_t(stop - x));
        else if (smoothing_ || creases_)
          KeyNeighbourSpan(y, x, stop, colour, alpha);
        else
          KeyRow(original.data() + 3 * x, colour + 3 * x, alpha + x, stop - x,
                 map_ ? levels.data() + size_t(map_->Channels()) * x : nullptr);
        x = stop;
      }
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
