#include "LutCtlGamma.h"

#include <algorithm>

namespace lut {

int GammaPosition(float gamma) { return static_cast<int>(gamma * 10.0f + 0.5f); }

float GammaOfPosition(int position) { return static_cast<float>(position) * 0.1f; }

GammaPositions ShiftGammas(int thumb, const GammaPositions& cached) {
  GammaPositions moved;
  moved.gamma = std::clamp(thumb, kGammaPositionMin, kGammaPositionMax);
  int steps = moved.gamma - cached.gamma;
  moved.lo = cached.lo + steps;
  moved.hi = cached.hi + steps;
  auto shiftAll = [&moved](int by) {
    moved.lo += by;
    moved.gamma += by;
    moved.hi += by;
  };
  if (steps > 0) {
    if (moved.lo > kGammaPositionMax) shiftAll(kGammaPositionMax - moved.lo);
    if (moved.hi > kGammaPositionMax) shiftAll(kGammaPositionMax - moved.hi);
  } else if (steps < 0) {
    if (moved.lo < kGammaPositionMin) shiftAll(kGammaPositionMin - moved.lo);
    if (moved.hi < kGammaPositionMin) shiftAll(kGammaPositionMin - moved.hi);
  }
  return moved;
}

}  // namespace lut
