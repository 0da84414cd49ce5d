// Separable resampling of a region of a picture into a new picture, in one pass with the crop, so that no
// oversized intermediate is made. Good quality: Catmull-Rom cubic, and an exact area average for reductions
// of more than two to one. Fast quality: area average for reductions, bilinear for enlargements.
#pragma once

#include "PixelImage.h"

namespace zvkImage {

enum class ResampleQuality { Fast, Good };

class Resampler {
 public:
  // Output pixel (X, Y) of outWidth x outHeight samples the source around
  // u = (X + 0.5) * scaleX + offsetX, v = (Y + 0.5) * scaleY + offsetY (source pixel centres lie at i + 0.5);
  // samples beyond the source repeat its edge. Alpha is resampled with the colour. Large work uses every
  // core.
  static PixelImage Region(const PixelImage& source, int outWidth, int outHeight, double scaleX,
                           double offsetX, double scaleY, double offsetY, ResampleQuality quality);
  // The whole picture to a new size.
  static PixelImage Whole(const PixelImage& source, int width, int height, ResampleQuality quality);
};

}  // namespace zvkImage
