// Writes 8-bit images as binary PGM (1 channel) or PPM (3 channels), for looking at scenes.
#pragma once

#include "ByteImage.h"
#include "FloatImage.h"

#include <string>

namespace keybench {

class NetpbmWriter {
 public:
  // Throws std::runtime_error naming the file when it cannot be written.
  static void Write(const std::string& path, const ByteImage& image);
  // Values 0..1, rounded to 8 bits.
  static void Write(const std::string& path, const FloatImage& image);
};

}  // namespace keybench
