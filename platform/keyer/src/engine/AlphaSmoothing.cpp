#include "AlphaSmoothing.h"

#include <algorithm>

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
  }
}

}  // namespace keyer
