// Turning a picture counter-clockwise by a fraction of a full turn (a point right of the centre goes up).
// Whole quarter turns move pixels exactly; any other angle is made of the nearest quarter turn and a bilinear
// turn of at most an eighth, onto a canvas that holds the whole turned picture. The canvas outside the
// picture is white, and transparent when the picture has an alpha plane; the picture's edge is blended into
// it.
#pragma once

#include "PixelImage.h"

namespace zvkImage {

class Rotator {
 public:
  static PixelImage Turn(const PixelImage& source, double turns);
  // 0..3 counter-clockwise quarter turns, exact.
  static PixelImage QuarterTurns(const PixelImage& source, int quarters);
};

}  // namespace zvkImage
