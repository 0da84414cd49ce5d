// Smoothing of a keyed alpha plane where the screen is noisy: each pixel's alpha becomes the binomial
// average of the alphas within `radius` pixels across and down (weights C(2 radius, k) along each axis),
// the discrete Gaussian of a deviation of the square root of radius / 2 pixels. Sensor noise keys pixel by
// pixel and so scatters alpha independently from one pixel to the next; the average cuts that scatter
// while a soft edge, which spans several pixels, keeps its course. Rows and columns past the picture repeat
// its edge.
//
// A strand of hair a pixel or two wide is not such an edge: averaged across, it keeps under half its alpha.
// Where the smoothed alpha shows something there (above KeyerTuning::kStrandLeastAlpha), a pixel keeps the
// weighted mean along the line through it (across, down or diagonal) on which its alphas are highest, less
// KeyerTuning::kStrandMargin, if that is more: along a strand the line stays on it and averages its noise
// along its length, while on a flat patch or a soft edge no line stands out from the average by the margin.
// A line's mean counts only as far as the line's other pixels bear it out: a lone speck is not a strand.
#pragma once

#include <cstdint>
#include <vector>

namespace keyer {

class AlphaSmoothing {
 public:
  explicit AlphaSmoothing(int radius);
  int Radius() const { return radius_; }
  // The 2 radius + 1 binomial weights along each axis, summing to 4^radius.
  const std::vector<uint32_t>& Weights() const { return weights_; }
  // Writes out[x] for x in [first, end) of a row `width` wide from the raw alphas of the 2 radius + 1 rows
  // centred on it (top first; each indexed by column, valid within radius of [first, end) in the row).
  void Row(const uint8_t* const* rows, int first, int end, int width, uint8_t* out) const;

 private:
  // The highest, over the four lines of 2 radius + 1 pixels through column x of the middle row, of the
  // line's weighted mean (the weights along one axis), each no more than the mean of its pixels beside x.
  uint8_t BrightestLine(const uint8_t* const* rows, int x, int lo, int hi) const;

  int radius_;
  std::vector<uint32_t> weights_;  // 2 radius + 1 binomial weights, summing to 4^radius
};

}  // namespace keyer
