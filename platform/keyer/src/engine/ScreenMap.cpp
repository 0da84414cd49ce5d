#include "ScreenMap.h"

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <cmath>

#include "ScreenLight.h"
#include "TableLookup.h"
#include "keyer/KeyerState.h"
#include "keyer/KeyerTuning.h"
#include "workers/WorkerPool.h"

namespace keyer {

namespace {

constexpr int kFixedOne = ScreenLight::kFixedOne;
constexpr int32_t kFixedLimit = ScreenLight::kMaxLevel * kFixedOne;
constexpr int32_t kHueReach = KeyerTuning::kLightMapHueLevels * kFixedOne;
constexpr int32_t kHueFloor = KeyerTuning::kLightMapHueFloor * kFixedOne;

// A departure of a channel's level from the screen channel's, within kHueReach; none below kHueFloor.
int32_t HeldDeparture(int32_t departure) {
  return std::abs(departure) < kHueFloor ? 0 : std::clamp(departure, -kHueReach, kHueReach);
}

// The fixed levels that bring each code of each channel (in byte order B, G, R) to the screen colour's.
class ChannelLevels {
 public:
  explicit ChannelLevels(const Vec3& screen) : screenByte_(2 - ScreenLight::ScreenChannel(screen)) {
    for (int m = 0; m < 3; ++m) ScreenLight::FixedLevelsToward(screen[2 - m], code_[m]);
  }
  int ScreenByte() const { return screenByte_; }
  // One pixel's level of its screen channel (in the screen channel's place) and the other channels'
  // departures from it.
  void Of(const uint8_t* bgr, int32_t out[3]) const {
    const int32_t lead = code_[screenByte_][bgr[screenByte_]];
    for (int m = 0; m < 3; ++m) out[m] = m == screenByte_ ? lead : code_[m][bgr[m]] - lead;
  }

 private:
  int32_t code_[3][256];
  int screenByte_;
};

// A cell's levels measured for the scatter with fewer than this say little (see LevelScatter).
constexpr size_t kScatterMinimum = 16;

// The median of a cell's levels (kNoScreen where it holds none); the levels are reordered.
int32_t Median(std::vector<int32_t>& cell) {
  if (cell.empty()) return ScreenLight::kNoScreen;
  std::nth_element(cell.begin(), cell.begin() + cell.size() / 2, cell.end());
  return cell[cell.size() / 2];
}

// One cell's screen levels reduced (see ToDepartures): their median, and the median of their absolute
// departures from it (the cell's spread) where they are at least kScatterMinimum, else -1.
struct CellSpread {
  int32_t median = ScreenLight::kNoScreen, spread = -1;
};
// The levels are turned into their absolute departures from their median, for LevelScatter to pool.
CellSpread ToDepartures(std::vector<int32_t>& cell) {
  CellSpread out;
  out.median = Median(cell);
  for (int32_t& d : cell) d = std::abs(d - out.median);
  if (cell.size() >= kScatterMinimum) out.spread = Median(cell);
  return out;
}

// The median over cells of each cell's median absolute departure of its levels from their median, as a
// relative deviation in brightness (1.4826 median absolute departures are a Gaussian's deviation; a level
// is 1/kLevelsPerDoubling of a doubling): spreads and departures per cell as ToDepartures left them. Cells
// with fewer than kScatterMinimum levels say little and are left out, unless every cell has fewer (a small
// picture).
double LevelScatter(const std::vector<CellSpread>& cells,
                    const std::vector<std::vector<int32_t>>& departures) {
  std::vector<int32_t> spreads;
  for (const CellSpread& cell : cells)
    if (cell.spread >= 0) spreads.push_back(cell.spread);
  if (spreads.empty()) {
    // A small picture's cells each hold too few: their levels' departures from their own medians are pooled.
    std::vector<int32_t> pooled;
    for (const std::vector<int32_t>& cell : departures)
      if (cell.size() >= 3) pooled.insert(pooled.end(), cell.begin(), cell.end());
    if (pooled.size() < kScatterMinimum) return 0;
    std::nth_element(pooled.begin(), pooled.begin() + pooled.size() / 2, pooled.end());
    spreads.push_back(pooled[pooled.size() / 2]);
  }
  std::nth_element(spreads.begin(), spreads.begin() + spreads.size() / 2, spreads.end());
  const double levels = 1.4826 * spreads[spreads.size() / 2] / kFixedOne;
  return std::exp2(levels / ScreenLight::kLevelsPerDoubling) - 1;
}

// Per cell, running sums over pairs of screen pixels' levels (see PairStructure).
struct PairSums {
  double first = 0, second = 0, product = 0;
  size_t count = 0;
};

// The screen's brightness structure finer than a cell: the covariance of the departures, from their cell's
// mean, of the levels of two screen pixels a few apart along a row, as a relative deviation in brightness.
// Sensor noise departs pixel by pixel and adds nothing to it (the mean, not the median: dark codes' noise is
// skewed, and the median's offset from the mean would count as structure); a crease, a fold or a shadow's
// edge darkens or lightens both pixels of a pair alike. 0 where it comes out negative or too few pairs were
// seen.
double PairStructure(const std::vector<PairSums>& cells) {
  constexpr size_t kMinimum = 16;
  double sum = 0;
  size_t count = 0;
  for (const PairSums& cell : cells) {
    if (cell.count < kMinimum) continue;
    // The sum over the cell's pairs of (a - mean)(b - mean), mean = the mean of all their levels.
    const double n = double(cell.count), mean = (cell.first + cell.second) / (2 * n);
    sum += cell.product - mean * (cell.first + cell.second) + n * mean * mean;
    count += cell.count;
  }
  if (count < kMinimum || !(sum > 0)) return 0;
  const double levelsApart = std::sqrt(sum / double(count)) / kFixedOne;
  return std::exp2(levelsApart / ScreenLight::kLevelsPerDoubling) - 1;
}

// The screen channel's fixed level of a pixel (B, G, R) that keys as screen at its own brightness (see
// Structure), else INT32_MIN; l receives the levels of all three channels.
int32_t ScreenLevel(const ChannelLevels& levels, const TableLookup& lookup, const uint64_t* table,
                    uint32_t bias, const uint8_t* p, int32_t l[3]) {
  levels.Of(p, l);
  const int lead = levels.ScreenByte();
  const uint8_t* remap = ScreenLight::Remap(ScreenLight::Level(l[lead]));
  return lookup.Alpha(table, bias, remap[p[2]], remap[p[1]], remap[p[0]]) < KeyerTuning::kLightMapScreenAlpha
             ? l[lead]
             : INT32_MIN;
}

int8_t WholeLevel(int32_t fixed) {
  return static_cast<int8_t>(ScreenLight::Level(std::clamp(fixed, -kFixedLimit, kFixedLimit)));
}

}  // namespace

ScreenMap::ScreenMap(const KeyerState& state, int width, int height, const RowSource& row, bool rowsAtOnce) {
  if (!state.Keys() || width <= 0 || height <= 0) return;
  const ChannelLevels levels(state.Model().screen);
  const int lead = levels.ScreenByte();
  const TableLookup& lookup = TableLookup::Shared();
  const uint64_t* table = state.Table();
  const uint32_t bias = state.TableBias();
  const int columns = std::min(KeyerTuning::kLightMapColumns, width);
  const int rows = std::min(KeyerTuning::kLightMapRows, height);
  const double area = double(width) * height;
  const int step = std::max(1, static_cast<int>(std::sqrt(area / KeyerTuning::kLightMapPixels)));
  const size_t cells = size_t(columns) * rows;
  std::vector<std::vector<int32_t>> found[3];
  for (auto& channel : found) channel.resize(cells);
  std::vector<int32_t> sampled(cells, 0);
  const auto screenLevel = [&](const uint8_t* p, int32_t* out) {
    int32_t l[3];
    const int32_t level = ScreenLevel(levels, lookup, table, bias, p, l);
    if (out) std::copy_n(l, 3, out);
    return level;
  };
  std::vector<PairSums> pairs(cells);
  std::vector<int32_t> medians[3];
  for (auto& channel : medians) channel.assign(cells, ScreenLight::kNoScreen);
  std::vector<CellSpread> spreads(cells);
  const int apart = KeyerTuning::kCreaseStructureApart;
  // One row of cells: each cell is sampled, and its levels reduced, by one thread alone, in one order.
  const auto cellRowOf = [&](int y) { return int(int64_t(y) * rows / height); };
  // Each cell's levels are allocated once, to the samples that fall in it, before any part starts: the
  // parts then share no heap.
  std::vector<int> across(columns, 0), down(rows, 0);
  for (int x = step / 2; x < width; x += step) ++across[int64_t(x) * columns / width];
  for (int y = step / 2; y < height; y += step) ++down[cellRowOf(y)];
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c)
      for (auto& channel : found) channel[size_t(r) * columns + c].reserve(size_t(down[r]) * across[c]);
  const auto measureRow = [&](int r) {
    int first = step / 2;
    while (first < height && cellRowOf(first) < r) first += step;
    for (int y = first; y < height && cellRowOf(y) == r; y += step) {
      const uint8_t* src = row(y);
      const size_t cellRow = size_t(r) * columns;
      for (int x = step / 2; x < width; x += step) {
        const uint8_t* p = src + 3 * x;
        const size_t cell = cellRow + static_cast<size_t>(int64_t(x) * columns / width);
        ++sampled[cell];
        int32_t l[3];
        const int32_t own = screenLevel(p, l);
        if (own == INT32_MIN) continue;
        for (int m = 0; m < 3; ++m) found[m][cell].push_back(l[m]);
        if (x + apart < width) {
          const int32_t beside = screenLevel(p + 3 * apart, nullptr);
          if (beside != INT32_MIN) {
            PairSums& sums = pairs[cell];
            sums.first += own;
            sums.second += beside;
            sums.product += double(own) * beside;
            ++sums.count;
          }
        }
      }
    }
    for (size_t cell = size_t(r) * columns; cell < size_t(r + 1) * columns; ++cell) {
      // A cell's hue is read only where screen fills most of it (see kLightMapHueShare).
      const bool hue = !(found[lead][cell].size() < KeyerTuning::kLightMapHueShare * sampled[cell]);
      for (int m = 0; m < 3; ++m)
        if (m != lead && hue) medians[m][cell] = Median(found[m][cell]);
      spreads[cell] = ToDepartures(found[lead][cell]);
      medians[lead][cell] = spreads[cell].median;
    }
  };
  if (rowsAtOnce)
    workers::WorkerPool::Shared().Run(rows, measureRow);
  else
    for (int r = 0; r < rows; ++r) measureRow(r);
  structure_ = PairStructure(pairs);
  scatter_ = LevelScatter(spreads, found[lead]);
  std::vector<int32_t> grids[3];
  bool any = false;
  for (int m = 0; m < 3; ++m) {
    grids[m] = ScreenLight::LevelGrid(medians[m], columns, rows);
    any = any || !grids[m].empty();
  }
  if (!any) return;  // no screen seen, or the screen everywhere as the model's: every pixel keyed as it is
  cells_.assign(size_t(columns) * rows * 3, 0);
  for (int m = 0; m < 3; ++m)
    for (size_t i = 0; i < grids[m].size(); ++i)
      cells_[i * 3 + m] = m == lead ? grids[m][i] : HeldDeparture(grids[m][i]);
  lead_ = lead;
  for (size_t i = 0; i < cells_.size(); ++i)
    if (int(i % 3) != lead && cells_[i] != 0) channels_ = 3;
  width_ = width;
  height_ = height;
  columns_ = columns;
  rows_ = rows;
  columnCell_.resize(width);
  columnWeight_.resize(width);
  for (int x = 0; x < width; ++x) {
    const double at = std::clamp((x + 0.5) * columns / width - 0.5, 0.0, double(columns - 1));
    const int cell = std::min(static_cast<int>(at), std::max(columns - 2, 0));
    columnCell_[x] = cell * 3;
    columnWeight_[x] = columns > 1 ? static_cast<int32_t>(std::lround((at - cell) * 256)) : 0;
    if (x == 0 || columnCell_[x] != columnCell_[x - 1]) runStart_.push_back(x);
  }
  runStart_.push_back(width);
}

namespace {

// Writes the levels of columns [first, end), `channels` per pixel, where at(x, out) gives pixel x's and each
// channel's level never falls (or never rises) across the run: where both ends agree, so does every pixel
// between them. A map's levels change a few times across a cell, so most of a row is filled, not computed.
template <typename At>
void FillRun(int first, int end, int channels, int8_t* levels, const At& at) {
  constexpr int kComputed = 8;  // a run this short is computed pixel by pixel
  int8_t a[3], b[3];
  at(first, a);
  at(end - 1, b);
  if (std::equal(a, a + channels, b)) {
    if (channels == 1) {
      std::memset(levels + first, a[0], size_t(end - first));
      return;
    }
    for (int x = first; x < end; ++x) std::copy(a, a + 3, levels + 3 * x);
    return;
  }
  if (end - first <= kComputed) {
    for (int x = first; x < end; ++x) at(x, levels + size_t(channels) * x);
    return;
  }
  const int middle = first + (end - first) / 2;
  FillRun(first, middle, channels, levels, at);
  FillRun(middle, end, channels, levels, at);
}

}  // namespace

void ScreenMap::RowLevels(int y, int8_t* levels) const {
  // Members are read into locals first: the levels are bytes, which may alias anything, so every store
  // would otherwise make the loops read the members again.
  const int columns = columns_, rows = rows_, lead = lead_;
  const int32_t* const cellOf = columnCell_.data();
  const int32_t* const weightOf = columnWeight_.data();
  const double at = std::clamp((y + 0.5) * rows / height_ - 0.5, 0.0, double(rows - 1));
  const int cell = std::min(static_cast<int>(at), std::max(rows - 2, 0));
  const int32_t wy = rows > 1 ? static_cast<int32_t>(std::lround((at - cell) * 256)) : 0;
  const int32_t* top = cells_.data() + size_t(cell) * columns * 3;
  const int32_t* bottom = rows > 1 ? top + size_t(columns) * 3 : top;
  // Bilinear between cell centres in fixed point (16 more fractional bits), held flat past the outer
  // ones; a channel's level is the screen channel's plus its departure, rounded half up as
  // ScreenLight::Level rounds: where no departure is held, every channel takes the same level.
  int32_t row[(KeyerTuning::kLightMapColumns + 1) * 3];
  for (int i = 0; i < columns * 3; ++i) row[i] = top[i] * (256 - wy) + bottom[i] * wy;
  for (int m = 0; m < 3; ++m) row[columns * 3 + m] = row[(columns - 1) * 3 + m];
  constexpr int32_t kRound = (1 << 15) + (kFixedOne / 2 << 16);
  constexpr int32_t kLimit = kFixedLimit << 16;
  // Within a run of columns sharing a left cell, a level is linear in the column's weight before it is
  // clamped and rounded, so it never turns back.
  const auto oneLevel = [&](int x, int8_t* out) {
    const int32_t* left = row + cellOf[x] + lead;
    const int32_t wx = weightOf[x];
    const int32_t fixed = std::clamp(left[0] * (256 - wx) + left[3] * wx, -kLimit, kLimit);
    out[0] = static_cast<int8_t>((fixed + kRound) >> 24);
  };
  const auto threeLevels = [&](int x, int8_t* out) {
    const int32_t* left = row + cellOf[x];
    const int32_t wx = weightOf[x];
    int32_t v[3];
    for (int m = 0; m < 3; ++m) v[m] = left[m] * (256 - wx) + left[m + 3] * wx;
    for (int m = 0; m < 3; ++m) {
      const int32_t fixed = std::clamp(m == lead ? v[m] : v[lead] + v[m], -kLimit, kLimit);
      out[m] = static_cast<int8_t>((fixed + kRound) >> 24);
    }
  };
  for (size_t run = 0; run + 1 < runStart_.size(); ++run) {
    if (channels_ == 1)
      FillRun(runStart_[run], runStart_[run + 1], 1, levels, oneLevel);
    else
      FillRun(runStart_[run], runStart_[run + 1], 3, levels, threeLevels);
  }
}

uint32_t ScreenMap::LoneScreenColour(uint32_t colorRef, const Vec3& screen) {
  return SampleAtScreen({colorRef}, screen).front();
}

double ScreenMap::SampleScatter(const std::vector<uint32_t>& colours, const Vec3& screen) {
  const ChannelLevels levels(screen);
  std::vector<std::vector<int32_t>> cell(1);
  cell[0].reserve(colours.size());
  for (uint32_t c : colours) {
    const uint8_t bgr[3] = {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                            static_cast<uint8_t>(c)};
    int32_t l[3];
    levels.Of(bgr, l);
    cell[0].push_back(l[levels.ScreenByte()]);
  }
  return LevelScatter({ToDepartures(cell[0])}, cell);
}

std::vector<uint32_t> ScreenMap::SampleAtScreen(const std::vector<uint32_t>& colours, const Vec3& screen,
                                                bool commonLevel, const KeyerState* measuredBy) {
  const ChannelLevels levels(screen);
  const int lead = levels.ScreenByte();
  std::vector<int32_t> departures[3];
  for (int pass = 0; pass < 2 && departures[lead].empty(); ++pass)
    for (uint32_t c : colours) {
      const uint8_t bgr[3] = {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                              static_cast<uint8_t>(c)};
      int32_t l[3];
      if (pass == 0 && measuredBy) {
        if (ScreenLevel(levels, TableLookup::Shared(), measuredBy->Table(), measuredBy->TableBias(), bgr,
                        l) == INT32_MIN)
          continue;
      } else {
        levels.Of(bgr, l);
      }
      for (int m = 0; m < 3; ++m) departures[m].push_back(l[m]);
    }
  int32_t hue[3] = {0, 0, 0};
  int32_t common = 0;
  for (int m = 0; m < 3; ++m) {
    std::vector<int32_t>& v = departures[m];
    if (v.empty()) continue;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    if (m == lead)
      common = v[v.size() / 2];
    else
      hue[m] = HeldDeparture(v[v.size() / 2]);
  }
  std::vector<uint32_t> out;
  out.reserve(colours.size());
  for (uint32_t c : colours) {
    const uint8_t bgr[3] = {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                            static_cast<uint8_t>(c)};
    int32_t l[3];
    levels.Of(bgr, l);
    uint8_t balanced[3];
    const int32_t level = commonLevel ? common : l[lead];
    for (int m = 0; m < 3; ++m) balanced[m] = ScreenLight::Remap(WholeLevel(level + hue[m]))[bgr[m]];
    out.push_back(balanced[2] | (uint32_t(balanced[1]) << 8) | (uint32_t(balanced[0]) << 16));
  }
  return out;
}

}  // namespace keyer
