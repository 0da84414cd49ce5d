// PCX files (version 5, run-length coded): 24 bits as three 8-bit planes, 8 bits as one plane with the
// 256-colour palette at the end. The header carries the resolution in dots per inch.
#pragma once

#include <cstdint>
#include <vector>

#include "PixelImage.h"

namespace zvkImage {

class PcxCodec {
 public:
  static std::vector<uint8_t> Write(const PixelImage& image, int bits);
  // False for data that is not such a PCX picture, or that ends early.
  static bool Read(const std::vector<uint8_t>& bytes, PixelImage& image);
};

}  // namespace zvkImage
