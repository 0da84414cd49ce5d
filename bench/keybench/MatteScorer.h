// Scores keyer outputs against one scene's truths; the band is worked out once.
#pragma once

#include "FloatImage.h"
#include "KeyerOutput.h"
#include "MatteError.h"
#include "MatteScores.h"

namespace keybench {

class MatteScorer {
 public:
  // trueAlpha: 1 channel 0..1; trueForeground: 3 channels, spill-free, sRGB values 0..1 (may be empty:
  // no colour error then). Both are kept by reference and must outlive the scorer.
  MatteScorer(const FloatImage& trueAlpha, const FloatImage& trueForeground);

  MatteScores Score(const FloatImage& alpha, const FloatImage& foreground) const;
  MatteScores Score(const KeyerOutput& output) const;

  const PixelMask& Band() const { return band_; }

  // 8-bit planes to 0..1 floats.
  static FloatImage ToUnit(const ByteImage& image);

 private:
  const FloatImage& trueAlpha_;
  const FloatImage& trueForeground_;
  PixelMask band_;
};

}  // namespace keybench
