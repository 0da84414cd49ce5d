// Filters on single-channel float planes; every border is replicated.
#pragma once

#include "FloatImage.h"

#include <vector>

namespace keybench {

class PlaneFilters {
 public:
  // Correlates a plane with kernelX along rows and kernelY along columns (odd lengths, centred).
  static FloatImage Separable(const FloatImage& plane, const std::vector<float>& kernelX,
                              const std::vector<float>& kernelY);

  // A Gaussian of the given sigma in pixels, cut at three sigma and normalised to sum 1.
  static std::vector<float> GaussianKernel(double sigma);
  static FloatImage GaussianBlur(const FloatImage& plane, double sigma);

  // Squared Euclidean distance of every pixel to the nearest pixel where seeds is non-zero
  // (exact, linear time); a plane without seeds gives a very large value everywhere.
  static FloatImage SquaredDistanceToSeeds(const std::vector<unsigned char>& seeds, int width, int height);
};

}  // namespace keybench
