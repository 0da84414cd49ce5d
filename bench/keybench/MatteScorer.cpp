#include "MatteScorer.h"

#include <stdexcept>

namespace keybench {

MatteScorer::MatteScorer(const FloatImage& trueAlpha, const FloatImage& trueForeground)
    : trueAlpha_(trueAlpha), trueForeground_(trueForeground), band_(MatteError::Band(trueAlpha)) {}

FloatImage MatteScorer::ToUnit(const ByteImage& image) {
  FloatImage result(image.Width(), image.Height(), image.Channels());
  auto out = result.Samples().begin();
  for (unsigned char v : image.Samples()) *out++ = v / 255.0f;
  return result;
}

MatteScores MatteScorer::Score(const FloatImage& alpha, const FloatImage& foreground) const {
  if (alpha.Width() != trueAlpha_.Width() || alpha.Height() != trueAlpha_.Height())
    throw std::invalid_argument("the matte and the true alpha differ in size");
  MatteScores s;
  s.bandPixels = MatteError::CountOf(band_, alpha.PixelCount());
  s.bandSad = MatteError::Sad(alpha, trueAlpha_, band_);
  s.bandMse = MatteError::Mse(alpha, trueAlpha_, band_);
  s.gradient = MatteError::Gradient(alpha, trueAlpha_, band_);
  s.connectivity = MatteError::Connectivity(alpha, trueAlpha_, band_);
  s.imageSad = MatteError::Sad(alpha, trueAlpha_);
  s.imageMse = MatteError::Mse(alpha, trueAlpha_);
  s.holeRate = MatteError::HoleRate(alpha, trueAlpha_);
  s.leakRate = MatteError::LeakRate(alpha, trueAlpha_);
  if (!trueForeground_.Empty() && !foreground.Empty())
    s.foregroundError =
        MatteError::PremultipliedColour(alpha, foreground, trueAlpha_, trueForeground_, band_);
  return s;
}

MatteScores MatteScorer::Score(const KeyerOutput& output) const {
  return Score(ToUnit(output.matte), ToUnit(output.foreground));
}

}  // namespace keybench
