// Reduces a picture to 8-bit indices into a palette of at most 256 colours: exact when the picture has no
// more colours than that, otherwise a median cut over a 15-bit histogram (no dithering, so the result
// depends only on the pixels).
#pragma once

#include <windows.h>

#include <vector>

#include "PixelImage.h"

namespace zvkImage {

struct IndexedImage {
  std::vector<RGBQUAD> palette;
  std::vector<uint8_t> indices;  // width x height, rows without padding
};

class PaletteQuantizer {
 public:
  static IndexedImage Quantize(const PixelImage& image);
  // Rec. 601 luma of every pixel, rows without padding.
  static std::vector<uint8_t> Grey(const PixelImage& image);
};

}  // namespace zvkImage
