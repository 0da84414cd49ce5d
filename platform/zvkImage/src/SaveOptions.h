// What the save option of IBitmap::Save means: for JPEG the quality handed to the encoder; other formats
// ignore it. Any code not in the table saves at the standard quality.
#pragma once

namespace zvkImage {

struct JpegQualityLevel {
  long option;
  float quality;  // WIC's ImageQuality, 0..1
};

inline constexpr JpegQualityLevel kJpegQualityLevels[] = {
    {0, 0.85f},  // standard
    {1, 0.70f},  // small files
    {2, 0.95f},  // high quality: what image export asks for
    {3, 1.00f},  // best the encoder can do
};

inline float JpegQualityForOption(long option) {
  for (const auto& level : kJpegQualityLevels)
    if (level.option == option) return level.quality;
  return kJpegQualityLevels[0].quality;
}

}  // namespace zvkImage
