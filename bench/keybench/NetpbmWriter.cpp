#include "NetpbmWriter.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace keybench {

void NetpbmWriter::Write(const std::string& path, const ByteImage& image) {
  if (image.Channels() != 1 && image.Channels() != 3)
    throw std::invalid_argument("PGM/PPM take 1 or 3 channels");
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot write " + path);
  std::fprintf(file, "P%d\n%d %d\n255\n", image.Channels() == 1 ? 5 : 6, image.Width(), image.Height());
  const size_t written = std::fwrite(image.Samples().data(), 1, image.Samples().size(), file);
  const bool closed = std::fclose(file) == 0;
  if (written != image.Samples().size() || !closed) {
    std::remove(path.c_str());
    throw std::runtime_error("cannot write " + path);
  }
}

void NetpbmWriter::Write(const std::string& path, const FloatImage& image) {
  ByteImage bytes(image.Width(), image.Height(), image.Channels());
  auto out = bytes.Samples().begin();
  for (float v : image.Samples())
    *out++ = static_cast<unsigned char>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
  Write(path, bytes);
}

}  // namespace keybench
