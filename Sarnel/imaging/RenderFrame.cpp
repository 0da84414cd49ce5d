// The frame arithmetic of output rendering: fitting a picture's frame into a parent, the upright frame of a
// turned one, rounding to pixels and the mapping the picture's draw reads.
#include "zvkImage/RenderFrame.h"

#include "RotatePointByTurns.h"

#include <algorithm>
#include <cmath>

namespace zvkImage {
namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kTwipsPerInch = 1440.0;
constexpr double kTwipsPerMillimetre = 56.69291338582677;

double Convert(double value, int32_t from, int32_t to) {
  if (from == to) return value;
  if (from == fuInch && to == fuMillimetre) return value * kMillimetresPerInch;
  if (from == fuInch && to == fuTwip) return value * kTwipsPerInch;
  if (from == fuMillimetre && to == fuInch) return value / kMillimetresPerInch;
  if (from == fuMillimetre && to == fuTwip) return value * kTwipsPerMillimetre;
  if (from == fuTwip && to == fuInch) return value / kTwipsPerInch;
  if (from == fuTwip && to == fuMillimetre) return value / kTwipsPerMillimetre;
  return value;
}

// Half away from zero, then toward zero.
long RoundHalfAway(double v) { return long(v < 0 ? v - 0.5 : v + 0.5); }

bool Plain(int32_t units) { return units == fuPlain0 || units == fuPlain1; }

}  // namespace

Frame Frame::MapInto(const Frame& parent, const PictureSize& child) {
  if (parent.units == fuParent) throw IllegalParentFrameUnits();
  if (child.units == fuParent) {
    PictureSize scaled = child;
    scaled.units = parent.units;
    scaled.width = child.width * parent.width;
    scaled.height = child.height * parent.height;
    return MapInto(parent, scaled);
  }
  double width = child.width, height = child.height;
  if (!Plain(child.units) && !Plain(parent.units)) {
    width = Convert(width, child.units, parent.units);
    height = Convert(height, child.units, parent.units);
  }
  const double sx = parent.width / width, sy = parent.height / height;
  const double b = sx < sy ? sx : sy;
  Frame result;
  result.units = parent.units;
  result.centreX = parent.centreX;
  result.centreY = parent.centreY;
  // The child's size in the parent's units, so that the result fills the parent whatever the child's units.
  result.width = b * width;
  result.height = b * height;
  result.angle = parent.angle;
  return result;
}

Frame Frame::BoundingFrame() const {
  Frame result = *this;
  result.angle = 0.0;
  if (angle == 0.0 || angle == 0.5) return result;
  if (angle == 0.25 || angle == 0.75) {
    std::swap(result.width, result.height);
    return result;
  }
  const double hw = width * 0.5, hh = height * 0.5;
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
  const double corners[4][2] = {{centreX - hw, centreY - hh},
                                {centreX + hw, centreY - hh},
                                {centreX + hw, centreY + hh},
                                {centreX - hw, centreY + hh}};
  for (int i = 0; i < 4; ++i) {
    const TurnedPoint p = RotatePointByTurns(corners[i][0], corners[i][1], centreX, centreY, angle);
    minX = i ? std::min(minX, p.x) : p.x;
    maxX = i ? std::max(maxX, p.x) : p.x;
    minY = i ? std::min(minY, p.y) : p.y;
    maxY = i ? std::max(maxY, p.y) : p.y;
  }
  result.width = maxX - minX;
  result.height = maxY - minY;
  return result;
}

RECT Frame::ToRect() const {
  const double L = centreX - width / 2, R = L + width, T = centreY - height / 2, B = T + height;
  long l = RoundHalfAway(L), r = RoundHalfAway(R), t = RoundHalfAway(T), b = RoundHalfAway(B);
  const long W = RoundHalfAway(width), H = RoundHalfAway(height);
  // Rounding each side alone can gain or lose a pixel; the side that rounding moved further gives it back.
  if (r - l > W) {
    if (r - R >= L - l)
      --r;
    else
      ++l;
  } else if (r - l < W) {
    if (R - r > l - L)
      ++r;
    else
      --l;
  }
  if (b - t > H) {
    if (b - B > T - t)
      --b;
    else
      ++t;
  } else if (b - t < H) {
    if (B - b >= t - T)
      ++b;
    else
      --t;
  }
  return RECT{l, t, r, b};
}

void Mapping::Set(const Frame& f, const RECT& target) {
  if (f.angle != 0.0) throw IllegalMappingParameter();
  scale.units = f.units;
  scale.x = f.width / double(target.right - target.left);
  scale.y = f.height / double(target.bottom - target.top);
  scale.reserved = 0.0;
  source.units = f.units;
  source.x = f.centreX;
  source.y = f.centreY;
  source.reserved = 0.0;
  destination.units = fuPlain0;
  destination.x = (target.right - target.left) * 0.5 + target.left;
  destination.y = (target.bottom - target.top) * 0.5 + target.top;
  destination.reserved = 0.0;
}

}  // namespace zvkImage
