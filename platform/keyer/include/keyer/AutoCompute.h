// A model computed from the picture alone: the screen colour is found among the pixels most
// dominated by one channel, and the inner surface takes in the screen's most frequent colours.
// The background factor (-0.5..0.5) scales the inner surface by 1 + 2 x factor, the foreground
// factor the middle one by 1 - factor: a higher background factor never shrinks the transparent
// share, a higher foreground factor never shrinks the opaque share.
#pragma once

#include <cstddef>
#include <cstdint>

#include "keyer/KeyerModel.h"

namespace keyer {

// Where AutoCompute reads the picture: whole rows of 24-bit BGR, top row first.
class PixelRowReader {
 public:
  virtual ~PixelRowReader() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Copies rowCount rows from firstRow into buffer, rows stride bytes apart; false on failure.
  virtual bool ReadRows(int firstRow, int rowCount, uint8_t* buffer, size_t stride) = 0;
};

class AutoCompute {
 public:
  // Replaces the model's screen and surfaces (keeping its algorithm and spill choice). Returns
  // false, leaving the model as it was, when the picture shows no screen. Factors are clamped to
  // -0.5..0.5. Throws std::runtime_error when the pixels cannot be read.
  static bool Compute(KeyerModel& model, PixelRowReader& pixels, double backgroundFactor,
                      double foregroundFactor);
};

}  // namespace keyer
