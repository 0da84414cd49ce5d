#include "RotatePointByTurns.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

double RoundToFiveDecimals(double value) { return std::round(value * 100000.0) * 0.00001; }

}  // namespace

TurnedPoint RotatePointByTurns(double x, double y, double cx, double cy, double turns) {
  const double dx = x - cx, dy = y - cy;
  if (turns == 0.0) return {x, y};
  if (turns == 0.25) return {cx + dy, cy - dx};
  if (turns == 0.5) return {2 * cx - x, 2 * cy - y};
  if (turns == 0.75) return {cx - dy, cy + dx};
  const double angle = 2 * kPi * (turns - std::trunc(turns));
  const double c = std::cos(angle), s = std::sin(angle);
  return {RoundToFiveDecimals(cx + dx * c + dy * s), RoundToFiveDecimals(cy - dx * s + dy * c)};
}
