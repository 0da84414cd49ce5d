// TARGA files: written uncompressed (24-bit true colour, or 8-bit colour-mapped with a 24-bit map), top row
// first; read in the uncompressed and run-length forms of 8 (mapped or grey), 15, 16, 24 and 32 bits.
// The format has no resolution field: what is read gets 72 dots per inch.
#pragma once

#include <cstdint>
#include <vector>

#include "PixelImage.h"

namespace zvkImage {

class TargaCodec {
 public:
  static std::vector<uint8_t> Write(const PixelImage& image, int bits);
  // False for data that is not a TARGA picture this reader knows, or that ends early.
  static bool Read(const std::vector<uint8_t>& bytes, PixelImage& image);
};

}  // namespace zvkImage
