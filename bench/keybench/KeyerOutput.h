// What a keyer gives for one composite: an 8-bit matte and its straight (not premultiplied)
// foreground colour as 8-bit sRGB, channels in R, G, B order.
#pragma once

#include "ByteImage.h"

namespace keybench {

struct KeyerOutput {
  ByteImage matte;       // 1 channel, 0 transparent .. 255 opaque
  ByteImage foreground;  // 3 channels, R G B
};

}  // namespace keybench
