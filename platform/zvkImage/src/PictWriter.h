// Macintosh PICT (version 2) files: a 512-byte empty preamble, the extended version-2 header with the
// resolution, then one DirectBitsRect of 32-bit pixels packed component-wise (24 bits), or one PackBitsRect
// of 8-bit indices with its colour table (8 bits).
#pragma once

#include <cstdint>
#include <vector>

#include "PixelImage.h"

namespace zvkImage {

class PictWriter {
 public:
  // Sides above 32767 cannot be stored: the result is then empty.
  static std::vector<uint8_t> Write(const PixelImage& image, int bits);
};

}  // namespace zvkImage
