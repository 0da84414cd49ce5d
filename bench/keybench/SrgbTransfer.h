// The sRGB transfer curve: camera pixels are 8-bit sRGB, scenes are mixed in linear light.
#pragma once

namespace keybench {

class SrgbTransfer {
 public:
  // Continuous curve, both ways, on values 0..1.
  static float ToLinear(float encoded);
  static float ToEncoded(float linear);

  // 8-bit code to linear light, from a table.
  static float DecodeByte(unsigned char code);
  // Linear light to the nearest 8-bit code (clamped), exact to the curve and without pow().
  static unsigned char EncodeByte(float linear);
};

}  // namespace keybench
