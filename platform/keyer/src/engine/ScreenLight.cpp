#include "ScreenLight.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "keyer/ColourSpace.h"

namespace keyer {

int ScreenLight::ScreenChannel(const Vec3& screen) {
  int d = 0;
  for (int i = 1; i < 3; ++i)
    if (screen[i] > screen[d]) d = i;
  return d;
}

void ScreenLight::FixedLevelsOfCodes(const Vec3& screen, int32_t out[256]) {
  const double s = screen[ScreenChannel(screen)];
  const float* lin = ColourSpace::LinearOfCode();
  const double limit = double(kMaxLevel) * kFixedOne;
  for (int code = 0; code < 256; ++code) {
    double level = limit;
    if (lin[code] > 0 && s > 0) level = std::log2(s / lin[code]) * kLevelsPerDoubling * kFixedOne;
    out[code] = static_cast<int32_t>(std::lround(std::clamp(level, -limit, limit)));
  }
}

const uint8_t* ScreenLight::Remap(int level) {
  static const std::vector<uint8_t> tables = [] {
    std::vector<uint8_t> t(size_t(2 * kMaxLevel + 1) * 256);
    const float* lin = ColourSpace::LinearOfCode();
    for (int l = -kMaxLevel; l <= kMaxLevel; ++l) {
      const double f = std::exp2(double(l) / kLevelsPerDoubling);
      for (int code = 0; code < 256; ++code) {
        double e = ColourSpace::ToEncoded(lin[code] * f) * 255.0;
        t[size_t(l + kMaxLevel) * 256 + code] = static_cast<uint8_t>(std::lround(std::clamp(e, 0.0, 255.0)));
      }
    }
    return t;
  }();
  return tables.data() + size_t(std::clamp(level, -kMaxLevel, kMaxLevel) + kMaxLevel) * 256;
}

uint32_t ScreenLight::AtScreenBrightness(uint32_t colorRef, const Vec3& screen) {
  int32_t levels[256];
  FixedLevelsOfCodes(screen, levels);
  const int d = ScreenChannel(screen);
  const uint8_t* remap = Remap(Level(levels[(colorRef >> (8 * d)) & 0xFF]));
  return remap[colorRef & 0xFF] | (uint32_t(remap[(colorRef >> 8) & 0xFF]) << 8) |
         (uint32_t(remap[(colorRef >> 16) & 0xFF]) << 16);
}

}  // namespace keyer
