// A colour or a direction in linear RGB, in the small arithmetic the colour model needs.
#pragma once

#include <cmath>

namespace keyer {

struct Vec3 {
  double r = 0, g = 0, b = 0;

  double operator[](int i) const { return i == 0 ? r : (i == 1 ? g : b); }
  double& operator[](int i) { return i == 0 ? r : (i == 1 ? g : b); }
  Vec3 operator+(const Vec3& o) const { return {r + o.r, g + o.g, b + o.b}; }
  Vec3 operator-(const Vec3& o) const { return {r - o.r, g - o.g, b - o.b}; }
  Vec3 operator*(double k) const { return {r * k, g * k, b * k}; }
  double Dot(const Vec3& o) const { return r * o.r + g * o.g + b * o.b; }
  double Length() const { return std::sqrt(Dot(*this)); }
  Vec3 Cross(const Vec3& o) const { return {g * o.b - b * o.g, b * o.r - r * o.b, r * o.g - g * o.r}; }
};

}  // namespace keyer
