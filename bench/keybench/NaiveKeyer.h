// The colour-difference keyer that every benchmark row is compared with:
//   alpha = 1 - (G - max(R, B)) / (Gs - max(Rs, Bs)), clamped to 0..1,
// with S the screen colour (G and B change places for a blue screen), worked in linear light; its
// foreground is the composite unmixed with S: F = (I - (1 - alpha) S) / alpha.
#pragma once

#include "ByteImage.h"
#include "KeyerOutput.h"
#include "MatteError.h"
#include "SceneSpec.h"

#include <array>

namespace keybench {

class NaiveKeyer {
 public:
  // Per-channel median of the marked pixels of an 8-bit sRGB composite, as sRGB codes.
  static std::array<unsigned char, 3> MedianColour(const ByteImage& composite, const PixelMask& pixels);

  NaiveKeyer(std::array<unsigned char, 3> screenColour, ScreenColour screen);

  KeyerOutput Key(const ByteImage& composite) const;

 private:
  float screen_[3];  // linear
  int key_;          // the channel that carries the screen: 1 green, 2 blue
};

}  // namespace keybench
