// The scene hook that sends a composite through the image library's JPEG encoder and decoder, as a
// camera's or an editor's JPEG would reach the program.
#pragma once

#include "ByteImage.h"

#include <string>

namespace keybench {

class JpegRoundTrip {
 public:
  // folder: where the temporary file is written (and removed again).
  explicit JpegRoundTrip(std::string folder) : folder_(std::move(folder)) {}

  ByteImage operator()(const ByteImage& composite) const;

 private:
  std::string folder_;
};

}  // namespace keybench
