// In-place pixel operations on a picture: mirrors, channel tables, saturation, sharpening, the hue key.
// Each runs row-wise over every core for large pictures; none allocates per pixel.
#pragma once

#include <cstdint>

#include "PixelImage.h"

namespace zvkImage {

struct ChannelTables {
  uint8_t red[256];
  uint8_t green[256];
  uint8_t blue[256];
};

class PixelOps {
 public:
  static void MirrorHorizontal(PixelImage& image);
  static void MirrorVertical(PixelImage& image);
  static void ApplyTables(PixelImage& image, const ChannelTables& tables);
  // Each pixel's distance from its grey (Rec. 601 luma) scaled by 1 + factor.
  static void AdjustSaturation(PixelImage& image, float factor);
  // Unsharp mask: p + strength/100 * (p - box mean over kernel x kernel, the edges repeated); flat areas stay
  // as they are. kernel is 3, 5 or 7. Works in place: no second picture is made.
  static void Sharpen(PixelImage& image, int kernel, int strength);
  // Hue key (see HueKey in BitmapObject): lowers the alpha of pixels near the key hue.
  static void HueKey(PixelImage& image, const float params[5]);
};

}  // namespace zvkImage
