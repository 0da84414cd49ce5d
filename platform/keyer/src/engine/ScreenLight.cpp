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
  FixedLevelsToward(screen[ScreenChannel(screen)], out);
}

void ScreenLight::FixedLevelsToward(double s, int32_t out[256]) {
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

std::vector<int32_t> ScreenLight::LevelGrid(const std::vector<int32_t>& medians, int columns, int rows) {
  std::vector<int32_t> level(medians.size(), 0);
  std::vector<char> filled(medians.size(), 0);
  bool any = false;
  for (size_t i = 0; i < medians.size(); ++i) {
    if (medians[i] == kNoScreen) continue;
    level[i] = medians[i];
    filled[i] = 1;
    any = true;
  }
  if (!any) return {};
  for (bool missing = true; missing;) {
    missing = false;
    std::vector<char> next = filled;
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        const size_t i = size_t(r) * columns + c;
        if (filled[i]) continue;
        int64_t sum = 0;
        int count = 0;
        const int nr[4] = {r - 1, r + 1, r, r}, nc[4] = {c, c, c - 1, c + 1};
        for (int k = 0; k < 4; ++k) {
          if (nr[k] < 0 || nr[k] >= rows || nc[k] < 0 || nc[k] >= columns) continue;
          const size_t j = size_t(nr[k]) * columns + nc[k];
          if (!filled[j]) continue;
          sum += level[j];
          ++count;
        }
        if (count) {
          level[i] = static_cast<int32_t>(std::lround(double(sum) / count));
          next[i] = 1;
        } else {
          missing = true;
        }
      }
    }
    filled.swap(next);
  }
  std::vector<int32_t> grid(level.size(), 0);
  bool lit = false;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      int64_t sum = 0;
      for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc)
          sum +=
              level[size_t(std::clamp(r + dr, 0, rows - 1)) * columns + std::clamp(c + dc, 0, columns - 1)];
      const int32_t v = static_cast<int32_t>(std::lround(double(sum) / 9.0));
      grid[size_t(r) * columns + c] = v;
      lit = lit || v != 0;
    }
  }
  if (!lit) grid.clear();
  return grid;
}

}  // namespace keyer
