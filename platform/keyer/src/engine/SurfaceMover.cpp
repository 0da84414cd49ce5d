#include "SurfaceMover.h"

#include <algorithm>
#include <cmath>

#include "keyer/KeyerTuning.h"

namespace keyer {

namespace {

constexpr double kPi = 3.14159265358979323846;
const double kFlat = KeyerTuning::kKernelFlatDegrees * kPi / 180;
const double kFade = KeyerTuning::kKernelFadeDegrees * kPi / 180;
const double kCosFlat = std::cos(kFlat);
const double kCosFade = std::cos(kFade);

template <typename Combine>
void Move(SurfaceGrid& grid, const std::vector<Target>& targets, const SurfaceMover::Goal& goal,
          Combine better) {
  if (targets.empty()) return;
  std::vector<double> goals(targets.size());
  for (size_t i = 0; i < targets.size(); ++i) goals[i] = goal(targets[i]);
  for (int n = 0; n < SurfaceGrid::kNodes; ++n) {
    const Vec3& v = SurfaceGrid::NodeDirection(n);
    double original = grid.Node(n);
    double moved = original;
    for (size_t i = 0; i < targets.size(); ++i) {
      double w = SurfaceMover::Weight(v.Dot(targets[i].direction));
      if (w <= 0) continue;
      moved = better(moved, original + w * (goals[i] - original));
    }
    if (moved != original) grid.SetNode(n, moved);
  }
}

}  // namespace

double SurfaceMover::Weight(double cosAngle) {
  if (cosAngle >= kCosFlat) return 1.0;
  if (cosAngle <= kCosFade) return 0.0;
  double angle = std::acos(cosAngle);
  return 0.5 * (1 + std::cos(kPi * (angle - kFlat) / (kFade - kFlat)));
}

void SurfaceMover::Grow(SurfaceGrid& grid, const std::vector<Target>& targets, const Goal& goal) {
  Move(grid, targets, goal, [](double a, double b) { return std::max(a, b); });
}

void SurfaceMover::Shrink(SurfaceGrid& grid, const std::vector<Target>& targets, const Goal& goal) {
  Move(grid, targets, goal, [](double a, double b) { return std::min(a, b); });
}

void SurfaceMover::Scale(SurfaceGrid& grid, const std::vector<Target>& targets, double factor) {
  if (targets.empty() || factor == 1.0) return;
  for (int n = 0; n < SurfaceGrid::kNodes; ++n) {
    const Vec3& v = SurfaceGrid::NodeDirection(n);
    double w = 0;
    for (const Target& t : targets) w = std::max(w, Weight(v.Dot(t.direction)));
    if (w > 0) grid.SetNode(n, grid.Node(n) * std::pow(factor, w));
  }
}

void SurfaceMover::ScaleAll(SurfaceGrid& grid, double factor) {
  for (int n = 0; n < SurfaceGrid::kNodes; ++n) grid.SetNode(n, grid.Node(n) * factor);
}

}  // namespace keyer
