// The spread of a screen's colours around the screen colour, as a Gaussian fitted to the screen's pixels
// (linear light): a backing's colours scatter by sensor noise, compression and what the light map leaves,
// and the colours a few standard deviations out in any direction are still screen. The fit is trimmed:
// edges, strands and shadows among the pixels taken as screen lie far out and are left out of it.
#pragma once

#include <cstdint>
#include <vector>

#include "keyer/Vec3.h"

namespace keyer {

class ScreenNoise {
 public:
  // colours: COLORREFs of the screen's pixels; screen: the screen colour they scatter around.
  ScreenNoise(const std::vector<uint32_t>& colours, const Vec3& screen);
  // How far from the screen colour, along the unit direction u, the ellipsoid of `sigmas` standard
  // deviations reaches.
  double Reach(const Vec3& u, double sigmas) const;

 private:
  double inverse_[3][3] = {};  // of the covariance
};

}  // namespace keyer
