#include "keyer/ColourSpace.h"

#include <array>
#include <cmath>

namespace keyer {

double ColourSpace::ToLinear(double encoded) {
  if (encoded <= 0.04045) return encoded / 12.92;
  return std::pow((encoded + 0.055) / 1.055, 2.4);
}

double ColourSpace::ToEncoded(double linear) {
  if (linear <= 0.0031308) return linear * 12.92;
  return 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

const float* ColourSpace::LinearOfCode() {
  static const std::array<float, 256> table = [] {
    std::array<float, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<float>(ToLinear(i / 255.0));
    return t;
  }();
  return table.data();
}

Vec3 ColourSpace::LinearOfColorRef(uint32_t colour) {
  const float* lin = LinearOfCode();
  return {lin[colour & 0xFF], lin[(colour >> 8) & 0xFF], lin[(colour >> 16) & 0xFF]};
}

}  // namespace keyer
