#include "AreaCoverage.h"

#include <algorithm>
#include <cmath>

namespace keyer {

namespace {
constexpr double kPi = 3.14159265358979323846;
// An ellipse at least this many pixels across each half-axis covers whole one run of columns along a row.
constexpr double kOneRunHalfAxis = 2.0;
}  // namespace

AreaCoverage::AreaCoverage(const KeyerAreas& areas, const AreaPlacement& placement, int width, int height)
    : width_(width), height_(height) {
  originalWidth_ = placement.originalWidth > 0 ? placement.originalWidth : width;
  originalHeight_ = placement.originalHeight > 0 ? placement.originalHeight : height;
  double turns = std::isfinite(placement.turns) ? placement.turns - std::floor(placement.turns) : 0.0;
  double quarters = turns * 4;
  if (std::abs(quarters - std::round(quarters)) < 1e-6) {
    static const double c[4] = {1, 0, -1, 0}, s[4] = {0, 1, 0, -1};
    int q = static_cast<int>(std::round(quarters)) % 4;
    cos_ = c[q];
    sin_ = s[q];
  } else {
    cos_ = std::cos(2 * kPi * turns);
    sin_ = std::sin(2 * kPi * turns);
  }
  protect_ = Place(areas.Protect());
  garbage_ = Place(areas.Garbage());
}

std::vector<AreaCoverage::Shape> AreaCoverage::Place(const std::vector<KeyerArea>& areas) const {
  std::vector<Shape> shapes;
  const double ocx = originalWidth_ / 2, ocy = originalHeight_ / 2;
  const double kcx = width_ / 2.0, kcy = height_ / 2.0;
  for (const KeyerArea& a : areas) {
    double l = a.left * originalWidth_ / 1000, r = a.right * originalWidth_ / 1000;
    double t = a.top * originalHeight_ / 1000, b = a.bottom * originalHeight_ / 1000;
    if (r - l <= 0 || b - t <= 0) continue;
    Shape s{a.type, (l + r) / 2, (t + b) / 2, (r - l) / 2, (b - t) / 2, 0, 0, 0, 0};
    // Bounding box of the turned shape, one pixel wider for the anti-aliased edge.
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    for (double x : {l - 1, r + 1})
      for (double y : {t - 1, b + 1}) {
        double dx = x - ocx, dy = y - ocy;
        double kx = kcx + cos_ * dx + sin_ * dy, ky = kcy - sin_ * dx + cos_ * dy;
        minX = std::min(minX, kx);
        maxX = std::max(maxX, kx);
        minY = std::min(minY, ky);
        maxY = std::max(maxY, ky);
      }
    s.x0 = static_cast<int>(std::clamp(std::floor(minX), 0.0, static_cast<double>(width_)));
    s.x1 = static_cast<int>(std::clamp(std::ceil(maxX), 0.0, static_cast<double>(width_)));
    s.y0 = static_cast<int>(std::clamp(std::floor(minY), 0.0, static_cast<double>(height_)));
    s.y1 = static_cast<int>(std::clamp(std::ceil(maxY), 0.0, static_cast<double>(height_)));
    if (s.x0 < s.x1 && s.y0 < s.y1) shapes.push_back(s);
  }
  return shapes;
}

double AreaCoverage::Coverage(const Shape& s, double px, double py) const {
  double x = std::abs(px - s.cx), y = std::abs(py - s.cy);
  double distance;
  if (s.type == 0) {
    double qx = x - s.hx, qy = y - s.hy;
    double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    distance = std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0);
  } else {
    double k0 = std::sqrt((x / s.hx) * (x / s.hx) + (y / s.hy) * (y / s.hy));
    double k1 =
        std::sqrt((x / (s.hx * s.hx)) * (x / (s.hx * s.hx)) + (y / (s.hy * s.hy)) * (y / (s.hy * s.hy)));
    distance = k1 > 1e-12 ? k0 * (k0 - 1) / k1 : -std::min(s.hx, s.hy);
  }
  return std::clamp(0.5 - distance, 0.0, 1.0);
}

bool AreaCoverage::Cover(const std::vector<Shape>& shapes, int y, std::vector<uint16_t>& row) const {
  const double ocx = originalWidth_ / 2, ocy = originalHeight_ / 2;
  const double kcx = width_ / 2.0, kcy = height_ / 2.0;
  bool any = false;
  for (const Shape& s : shapes) {
    if (y < s.y0 || y >= s.y1) continue;
    any = true;
    const double qy = y + 0.5 - kcy;
    // Writes column x's coverage; true where the shape covers it whole.
    const auto cover = [&](int x) {
      const double qx = x + 0.5 - kcx;
      // Back from the keyed bitmap to the original picture: the inverse of the turn.
      const double px = ocx + cos_ * qx - sin_ * qy, py = ocy + sin_ * qx + cos_ * qy;
      const uint16_t c = static_cast<uint16_t>(std::lround(Coverage(s, px, py) * kWhole));
      row[x] = std::max(row[x], c);
      return c == kWhole;
    };
    // The columns a shape covers whole make one run along a row (a rectangle's distance is convex, and so
    // nearly is an ellipse's unless it is thinner than a couple of pixels): once both ends of the run are
    // found, the columns between need no computing.
    const bool oneRun = s.type == 0 || std::min(s.hx, s.hy) >= kOneRunHalfAxis;
    int left = s.x0, right = s.x1;  // [left, right): not yet written
    bool whole = false;
    while (left < right && !(whole = cover(left++) && oneRun)) {
    }
    if (!whole) continue;
    while (left < right && !cover(right - 1)) --right;
    std::fill(row.begin() + left, row.begin() + right, kWhole);
  }
  return any;
}

bool AreaCoverage::Row(int y, std::vector<uint16_t>& protect, std::vector<uint16_t>& garbage, int& first,
                       int& end) const {
  first = width_;
  end = 0;
  for (const auto* shapes : {&protect_, &garbage_})
    for (const Shape& s : *shapes)
      if (y >= s.y0 && y < s.y1) {
        first = std::min(first, s.x0);
        end = std::max(end, s.x1);
      }
  if (first >= end) return false;
  std::fill(protect.begin() + first, protect.begin() + end, uint16_t(0));
  std::fill(garbage.begin() + first, garbage.begin() + end, uint16_t(0));
  Cover(protect_, y, protect);
  Cover(garbage_, y, garbage);
  return true;
}

}  // namespace keyer
