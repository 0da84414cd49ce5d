#include "keyer/SurfaceGrid.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace keyer {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The grid's poles lie on the grey axis, where few colours lie as seen from a saturated screen.
struct GridFrame {
  Vec3 axis, first, second;
  GridFrame() {
    axis = Vec3{1, 1, 1} * (1.0 / std::sqrt(3.0));
    first = Vec3{1, -1, 0} * (1.0 / std::sqrt(2.0));
    second = axis.Cross(first);
  }
};

const GridFrame& Frame() {
  static const GridFrame frame;
  return frame;
}

const std::vector<Vec3>& Directions() {
  static const std::vector<Vec3> directions = [] {
    const GridFrame& f = Frame();
    std::vector<Vec3> d(SurfaceGrid::kNodes);
    for (int row = 0; row < SurfaceGrid::kRows; ++row) {
      double theta = kPi * row / (SurfaceGrid::kRows - 1);
      for (int col = 0; col < SurfaceGrid::kColumns; ++col) {
        double phi = 2 * kPi * col / SurfaceGrid::kColumns;
        d[row * SurfaceGrid::kColumns + col] =
            f.axis * std::cos(theta) + (f.first * std::cos(phi) + f.second * std::sin(phi)) * std::sin(theta);
      }
    }
    return d;
  }();
  return directions;
}

}  // namespace

const Vec3& SurfaceGrid::NodeDirection(int node) { return Directions()[node]; }

double SurfaceGrid::RadiusAt(const Vec3& u) const {
  const GridFrame& f = Frame();
  double c = std::clamp(u.Dot(f.axis), -1.0, 1.0);
  double y = std::acos(c) / kPi * (kRows - 1);
  double phi = std::atan2(u.Dot(f.second), u.Dot(f.first));
  if (phi < 0) phi += 2 * kPi;
  double x = phi / (2 * kPi) * kColumns;
  int row = std::min(static_cast<int>(y), kRows - 2);
  int col = static_cast<int>(x);
  double fy = y - row, fx = x - col;
  col %= kColumns;
  int next = (col + 1) % kColumns;
  const uint16_t* top = &radius_[row * kColumns];
  const uint16_t* bottom = top + kColumns;
  double upper = top[col] + (top[next] - static_cast<double>(top[col])) * fx;
  double lower = bottom[col] + (bottom[next] - static_cast<double>(bottom[col])) * fx;
  return (upper + (lower - upper) * fy) * kRadiusUnit;
}

void SurfaceGrid::SetNode(int node, double radius) {
  double units = std::round(std::clamp(radius, 0.0, kMaxRadius) / kRadiusUnit);
  radius_[node] = static_cast<uint16_t>(std::min(units, 65535.0));
}

void SurfaceGrid::Fill(double radius) {
  for (int n = 0; n < kNodes; ++n) SetNode(n, radius);
}

}  // namespace keyer
