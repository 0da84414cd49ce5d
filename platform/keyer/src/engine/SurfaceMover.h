// Moves one surface locally around target directions: fully within a small angle of each target,
// fading out beyond it, so that the surface stays smooth and the rest of the model keeps its shape.
#pragma once

#include <functional>
#include <vector>

#include "SampleTargets.h"
#include "keyer/SurfaceGrid.h"

namespace keyer {

class SurfaceMover {
 public:
  using Goal = std::function<double(const Target&)>;

  // Weight of a node for a target, from the cosine of the angle between their directions.
  static double Weight(double cosAngle);
  // Raises nodes towards goal(target), never lowers any.
  static void Grow(SurfaceGrid& grid, const std::vector<Target>& targets, const Goal& goal);
  // Lowers nodes towards goal(target), never raises any.
  static void Shrink(SurfaceGrid& grid, const std::vector<Target>& targets, const Goal& goal);
  // Multiplies nodes by factor^weight, the weight being the strongest of any target.
  static void Scale(SurfaceGrid& grid, const std::vector<Target>& targets, double factor);
  // Multiplies every node.
  static void ScaleAll(SurfaceGrid& grid, double factor);
};

}  // namespace keyer
