#include "AlphaSmoothing.h"

#include <algorithm>

#include "keyer/KeyerTuning.h"

namespace keyer {

AlphaSmoothing::AlphaSmoothing(int radius) : radius_(radius), weights_(size_t(2 * radius + 1), 1) {
  for (int k = 1; k < 2 * radius; ++k)
    weights_[k] = weights_[k - 1] * uint32_t(2 * radius - k + 1) / uint32_t(k);
}

void AlphaSmoothing::Row(const uint8_t* const* rows, int first, int end, int width, uint8_t* out) const {
  const int r = radius_, lo = std::max(first - r, 0), hi = std::min(end + r, width);
  std::vector<uint32_t> columns(size_t(hi - lo));
  for (int x = lo; x < hi; ++x) {
    uint32_t sum = 0;
    for (int k = 0; k <= 2 * r; ++k) sum += weights_[k] * rows[k][x];
    columns[x - lo] = sum;
  }
  const int shift = 4 * r;  // the weights sum to 4^r along each axis
  for (int x = first; x < end; ++x) {
    uint64_t sum = 0;
    for (int k = 0; k <= 2 * r; ++k)
      sum += uint64_t(weights_[k]) * columns[std::clamp(x - r + k, lo, hi - 1) - lo];
    out[x] = static_cast<uint8_t>((sum + (uint64_t(1) << (shift - 1))) >> shift);
    if (out[x] > KeyerTuning::kStrandLeastAlpha) {
      const int line = int(BrightestLine(rows, x, lo, hi)) - KeyerTuning::kStrandMargin;
      if (line > out[x]) out[x] = static_cast<uint8_t>(line);
    }
  }
}

uint8_t AlphaSmoothing::BrightestLine(const uint8_t* const* rows, int x, int lo, int hi) const {
  const int r = radius_;
  const uint32_t total = 1u << (2 * r), aside = total - weights_[r];  // the weights sum to 4^r
  uint32_t best = 0;
  // Across (slope 2 stands for it), down and the two diagonals.
  for (int slope : {2, 0, 1, -1}) {
    uint32_t sum = 0;
    for (int k = 0; k <= 2 * r; ++k) {
      if (k == r) continue;
      const uint8_t* row = slope == 2 ? rows[r] : rows[k];
      const int column = slope == 2 ? x - r + k : x + slope * (k - r);
      sum += weights_[k] * row[std::clamp(column, lo, hi - 1)];
    }
    const uint32_t centre = weights_[r] * rows[r][x];
    // The line's mean, but no more than that of its pixels beside x: a lone speck is not a line.
    best = std::max(best, std::min((sum + centre) * aside, sum * total));
  }
  return static_cast<uint8_t>((best + total * aside / 2) / (total * aside));
}

}  // namespace keyer
