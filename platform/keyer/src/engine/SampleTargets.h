// Sampled colours as the operations see them: directions and distances from the screen colour.
#pragma once

#include <cstdint>
#include <vector>

#include "keyer/Vec3.h"

namespace keyer {

struct Target {
  Vec3 direction;   // unit
  double distance;  // from the screen colour, linear light
};

class SampleTargets {
 public:
  enum class Keep { Nearest, Farthest, Both };

  // The corners of the lookup-table cells that hold the colours: a surface moved past every corner
  // of a cell moves every colour of the cell with it, whatever the table interpolates. Targets in
  // nearly the same direction are merged, keeping the nearest, the farthest or both.
  static std::vector<Target> CellCorners(const std::vector<uint32_t>& colours, const Vec3& screen, Keep keep);
  // The colours themselves, one target per direction bin (the nearest).
  static std::vector<Target> Colours(const std::vector<uint32_t>& colours, const Vec3& screen);
};

}  // namespace keyer
