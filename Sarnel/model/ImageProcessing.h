// The processing an import applies to a new image: quarter turns, two mirrors, a tone curve and
// sharpening.
#pragma once

#include "LUTRecord.h"
#include "SharpenValues.h"

#include <cstdint>

struct ImageProcessing {
  int32_t quarterTurns = 0;
  uint8_t flipA = 0;  // the vertical mirror
  uint8_t flipB = 0;  // the horizontal mirror
  LUTRecord lut;
  SharpenValues sharpen;  // off, 3, 100

  // Whether applying it changes a bitmap.
  bool IsActive() const;
};
