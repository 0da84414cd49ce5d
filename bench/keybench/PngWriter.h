// Writes 8-bit PNG files (grey or RGB) with zlib, under a temporary name that is renamed over the
// target only once the file is complete: an interrupted or failed write leaves nothing half-written
// under the target's name. Our own writer, not the system codec, so that a matte is written as true
// 8-bit grey and large images are written quickly.
#pragma once

#include "ByteImage.h"
#include "FloatImage.h"

#include <string>

namespace keybench {

class PngWriter {
 public:
  // 1 channel: grey; 3 channels: R G B. Throws std::runtime_error naming the file.
  static void Write(const std::string& path, const ByteImage& image);
  // Values 0..1, rounded to 8 bits.
  static void Write(const std::string& path, const FloatImage& image);
  // Text, by the same temporary-name rule.
  static void WriteText(const std::string& path, const std::string& text);
};

}  // namespace keybench
