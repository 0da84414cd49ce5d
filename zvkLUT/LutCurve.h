// The computed tone curves (basic and advanced, for input and output devices) written into a plane
// of 1-, 2- or 4-byte elements.
//
// The arithmetic is fixed because stored tables must come out the same everywhere: t and the
// exponents are single precision, powers and point rescaling double, nearest(x) = trunc(x + 0.5).
// Every entry is clamped to 0..N-1 (NaN to 0), so bad gammas or points never leave the range.
#pragma once

#include <cstdint>

#include "LutParameters.h"

namespace lut {

struct CurveShape {
  uint64_t entries = 0;  // N
  int64_t lo = 0;        // black point in the table's index range
  int64_t hi = 0;        // white point in the table's index range
  bool output = false;
  bool advanced = false;
  float exponent = 1.0f;                                           // basic curve
  float exponentLo = 1.0f, exponentMid = 1.0f, exponentHi = 1.0f;  // advanced curve
};

class LutCurve {
 public:
  // The curve of `slot` stretched to `entries` entries (bitDepth within 1..32).
  static CurveShape Shape(const LutParameters& parameters, int slot, uint64_t entries);
  static void Fill(const CurveShape& shape, void* elements, unsigned elementSize);
  // The exponent of the advanced curve at t: Lo at the dark end, Mid in the middle, Hi at the bright
  // end, with raised-cosine transitions.
  static float BlendExponent(const CurveShape& shape, float t);
};

// trunc(x + 0.5) clamped to 0..top; NaN gives 0.
uint64_t NearestClamped(double x, uint64_t top);

}  // namespace lut
