#include "JpegRoundTrip.h"

#include "ZvkBitmap.h"

#include <cstdio>
#include <windows.h>

namespace keybench {

ByteImage JpegRoundTrip::operator()(const ByteImage& composite) const {
  const std::string path = folder_ + "/keybench-roundtrip-" + std::to_string(GetCurrentProcessId()) + ".jpg";
  ByteImage decoded;
  try {
    ZvkBitmap::FromImage(composite).Save(path, zvkImage::ftJPEG, 24, 0);
    decoded = ZvkBitmap::Load(path).Colour();
  } catch (...) {
    std::remove(path.c_str());
    throw;
  }
  std::remove(path.c_str());
  return decoded;
}

}  // namespace keybench
