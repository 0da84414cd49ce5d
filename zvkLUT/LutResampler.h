// Brings a hand-made table to the caller's length and range by linear interpolation in double.
// Source values are read unsigned and held to 0..S-1; a one-entry source or target gives 0.
#pragma once

#include <cstdint>

namespace lut {

class LutResampler {
 public:
  static void Resample(const void* source, unsigned sourceSize, uint64_t sourceCount, void* target,
                       unsigned targetSize, uint64_t targetCount);
};

}  // namespace lut
