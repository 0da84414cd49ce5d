// The areas placed on the keyed bitmap's pixels: per row, how much of each pixel the protect and
// the garbage areas cover (0..256), anti-aliased over one pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "keyer/KeyerAreas.h"

namespace keyer {

class AreaCoverage {
 public:
  // The coverage of a pixel an area covers whole.
  static constexpr uint16_t kWhole = 256;

  AreaCoverage(const KeyerAreas& areas, const AreaPlacement& placement, int width, int height);

  bool Empty() const { return protect_.empty() && garbage_.empty(); }
  // For row y: the columns [first, end) the areas' bounds reach, and both rows (width entries each) filled
  // over them; entries outside are left as they were. False (and nothing filled) when no area reaches the
  // row.
  bool Row(int y, std::vector<uint16_t>& protect, std::vector<uint16_t>& garbage, int& first, int& end) const;

 private:
  struct Shape {
    int type;
    double cx, cy, hx, hy;  // in the original picture's pixels
    int x0, x1, y0, y1;     // bounding pixels on the keyed bitmap
  };
  std::vector<Shape> Place(const std::vector<KeyerArea>& areas) const;
  bool Cover(const std::vector<Shape>& shapes, int y, std::vector<uint16_t>& row) const;
  double Coverage(const Shape& s, double px, double py) const;

  int width_, height_;
  double originalWidth_, originalHeight_;
  double cos_, sin_;
  std::vector<Shape> protect_, garbage_;
};

}  // namespace keyer
