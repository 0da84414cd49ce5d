// A rectangle of pixels; right and bottom are exclusive, as in a Windows RECT.
#pragma once

namespace keybench {

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const PixelRect&) const = default;
};

}  // namespace keybench
