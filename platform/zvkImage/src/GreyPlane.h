// One 8-bit plane (a mask or a matte), rows without padding.
#pragma once

#include <cstdint>
#include <vector>

namespace zvkImage {

struct GreyPlane {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> values;

  bool Empty() const { return width == 0 || height == 0; }
  void Clear() {
    width = height = 0;
    std::vector<uint8_t>().swap(values);
  }
  const uint8_t* Row(int y) const { return values.data() + size_t(y) * size_t(width); }
};

}  // namespace zvkImage
