// Everything the keyer has learnt about one image: the screen colour and three nested surfaces
// around it (inner: screen, alpha 0; beyond the middle: opaque; spill removed up to the outer),
// with the algorithm and the spill-replacement choice. A model without a screen colour keys nothing.
#pragma once

#include <cstdint>

#include "keyer/SurfaceGrid.h"
#include "keyer/Vec3.h"

namespace keyer {

enum class SpillMode : uint32_t { Complement = 0, Solid = 1, Defocus = 2 };

struct KeyerModel {
  static constexpr uint32_t kInitialSpillColour = 0x7F7F7F;

  bool keyed = false;
  uint32_t algorithm = 0;  // 0 linear edge ramp, 1 smooth ramp, 2 steep ramp
  SpillMode spillMode = SpillMode::Solid;
  uint32_t spillColour = kInitialSpillColour;  // COLORREF 0x00BBGGRR
  Vec3 screen;                                 // linear light
  SurfaceGrid inner, middle, outer;

  bool operator==(const KeyerModel& o) const {
    return keyed == o.keyed && algorithm == o.algorithm && spillMode == o.spillMode &&
           spillColour == o.spillColour && screen.r == o.screen.r && screen.g == o.screen.g &&
           screen.b == o.screen.b && inner == o.inner && middle == o.middle && outer == o.outer;
  }
};

}  // namespace keyer
