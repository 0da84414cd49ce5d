// A protect or garbage area as a chroma-key record stores it: the shape and its edges in thousandths
// of the original image's width and height.
#pragma once

#include <cstdint>

namespace keybench {

struct AreaRecord {
  enum Shape : std::int32_t { Rectangle = 0, Ellipse = 1 };

  std::int32_t type = Rectangle;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  bool operator==(const AreaRecord&) const = default;
};

}  // namespace keybench
