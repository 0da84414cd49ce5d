// 8-bit sRGB codes and linear light. The model works in linear light, where a pixel that is part
// subject and part screen lies on the straight line between the two colours.
#pragma once

#include <cstdint>

#include "keyer/Vec3.h"

namespace keyer {

class ColourSpace {
 public:
  // Encoded value (code / 255; may pass 1 slightly) to linear light and back, without clamping.
  static double ToLinear(double encoded);
  static double ToEncoded(double linear);
  // Linear light of each of the 256 codes.
  static const float* LinearOfCode();
  // A COLORREF (0x00BBGGRR) in linear light.
  static Vec3 LinearOfColorRef(uint32_t colour);
};

}  // namespace keyer
