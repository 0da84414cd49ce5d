// One closed surface around the screen colour: its distance from the screen colour in every
// direction, held on a latitude-longitude grid of directions and interpolated between nodes.
#pragma once

#include <array>
#include <cstdint>

#include "keyer/Vec3.h"

namespace keyer {

class SurfaceGrid {
 public:
  static constexpr int kRows = 24;
  static constexpr int kColumns = 48;
  static constexpr int kNodes = kRows * kColumns;
  // Radii are kept at the resolution of the state file (16 bits up to kMaxRadius), so that a model
  // in memory and the same model read back are equal.
  static constexpr double kMaxRadius = 2.0;
  static constexpr double kRadiusUnit = kMaxRadius / 65535.0;

  SurfaceGrid() { radius_.fill(0); }

  // Unit direction of a node.
  static const Vec3& NodeDirection(int node);
  // Radius in a direction (a unit vector), bilinear between the four surrounding nodes.
  double RadiusAt(const Vec3& direction) const;

  double Node(int node) const { return radius_[node] * kRadiusUnit; }
  uint16_t StoredNode(int node) const { return radius_[node]; }
  void SetNode(int node, double radius);
  void SetStoredNode(int node, uint16_t stored) { radius_[node] = stored; }
  void Fill(double radius);

  bool operator==(const SurfaceGrid& other) const { return radius_ == other.radius_; }

 private:
  std::array<uint16_t, kNodes> radius_;
};

}  // namespace keyer
