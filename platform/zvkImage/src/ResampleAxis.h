// One axis of a separable resampling: for each output index the source indices it reads and their weights,
// and the horizontal pass over rows of interleaved channels built from them.
#pragma once

#include <cstdint>
#include <vector>

#include "Resampler.h"

namespace zvkImage {

// Weights are 16-bit fixed point with kWeightBits fraction bits; each output's weights sum to exactly one.
constexpr int kWeightBits = 14;

struct AxisWeights {
  std::vector<int> first;   // per output index: the first source index read
  std::vector<int> count;   // and how many
  std::vector<int> offset;  // into weights
  std::vector<int16_t> weights;
  int maxTaps = 0;

  static AxisWeights Build(int outCount, int srcCount, double scale, double offset, ResampleQuality quality);
};

// The pass along a row. Each output reads the same number of source pixels (the axis's most, short ones
// padded with zero weights), so the loop over them is unrolled for that number; an axis with more taps than
// the unrolled loops cover takes the general loop. Both give the same bytes.
class HorizontalPass {
 public:
  static constexpr int kMaxUnrolledTaps = 16;

  HorizontalPass(const AxisWeights& axis, int srcCount);
  // One row of `channels` (1 or 3) interleaved channels: outCount outputs from the source row.
  void Row(int channels, const uint8_t* src, uint8_t* dst) const;
  // The general loop over each output's own taps, for any axis.
  static void GeneralRow(int channels, const AxisWeights& axis, const uint8_t* src, uint8_t* dst);

 private:
  const AxisWeights& axis_;
  int taps_ = 0;  // 0: the general loop
  std::vector<int> start_;
  std::vector<int16_t> weights_;  // taps_ per output
};

}  // namespace zvkImage
