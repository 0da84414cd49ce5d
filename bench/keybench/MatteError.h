// Error measures between a matte and its truth, as the alpha-matting benchmark of Rhemann et al.
// (CVPR 2009) defines them. Mattes are single-channel planes of values 0..1. A mask selects the
// pixels that are summed (non-zero = counted); an empty mask counts every pixel.
#pragma once

#include "FloatImage.h"

#include <vector>

namespace keybench {

using PixelMask = std::vector<unsigned char>;

class MatteError {
 public:
  // Pixels whose true alpha lies strictly between low and high, dilated by a disc of the given radius.
  static PixelMask Band(const FloatImage& trueAlpha, double radius = 10.0, float low = 0.002f,
                        float high = 0.998f);
  static size_t CountOf(const PixelMask& mask, size_t pixelCount);

  // Sum of absolute differences / 1000.
  static double Sad(const FloatImage& alpha, const FloatImage& truth, const PixelMask& mask = {});
  // Mean of squared differences over the counted pixels.
  static double Mse(const FloatImage& alpha, const FloatImage& truth, const PixelMask& mask = {});
  // Sum of squared differences of the gradient magnitudes / 1000: both mattes min-max normalised,
  // first derivatives of a Gaussian (sigma 1.4) normalised to unit L2 norm.
  static double Gradient(const FloatImage& alpha, const FloatImage& truth, const PixelMask& mask = {});
  // Connectivity error / 1000: thresholds 0, 0.1 .. 1, largest 4-connected component of the pixels
  // where both mattes reach the threshold, differences below 0.15 ignored.
  static double Connectivity(const FloatImage& alpha, const FloatImage& truth, const PixelMask& mask = {});

  // Mean squared error of the premultiplied colour alpha * F against trueAlpha * trueF over the counted
  // pixels whose true alpha exceeds minTrueAlpha; colours are 3-channel planes of sRGB values 0..1.
  static double PremultipliedColour(const FloatImage& alpha, const FloatImage& foreground,
                                    const FloatImage& trueAlpha, const FloatImage& trueForeground,
                                    const PixelMask& mask = {}, float minTrueAlpha = 0.05f);

  // Share of the opaque subject (true alpha at least 0.999) keyed below 0.9: holes an operator sees.
  static double HoleRate(const FloatImage& alpha, const FloatImage& truth);
  // Share of the bare screen (true alpha at most 0.001) keyed above 0.1: screen left in the picture.
  static double LeakRate(const FloatImage& alpha, const FloatImage& truth);

  // The gradient magnitude that Gradient compares (exposed for tests).
  static FloatImage GradientMagnitude(const FloatImage& alpha, double sigma = 1.4);
};

}  // namespace keybench
