// What the save option of IBitmap::Save means: for JPEG the quality handed to the encoder (libjpeg's scale,
// 1..100); other formats ignore it. Any code not in the table saves at the standard quality.
#pragma once

namespace zvkImage {

struct JpegQualityLevel {
  long option;
  int quality;
};

inline constexpr JpegQualityLevel kJpegQualityLevels[] = {
    {0, 85},   // standard
    {1, 70},   // small files
    {2, 95},   // high quality: what image export asks for
    {3, 100},  // best the encoder can do
};

inline int JpegQualityForOption(long option) {
  for (const auto& level : kJpegQualityLevels)
    if (level.option == option) return level.quality;
  return kJpegQualityLevels[0].quality;
}

}  // namespace zvkImage
