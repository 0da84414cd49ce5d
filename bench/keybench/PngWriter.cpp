#include "PngWriter.h"

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace keybench {

namespace {

void Put32(std::vector<unsigned char>& out, unsigned long v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(v >> shift));
}

void Chunk(std::vector<unsigned char>& out, const char type[4], const unsigned char* data, size_t size) {
  Put32(out, static_cast<unsigned long>(size));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data, data + size);
  Put32(out, crc32(0L, out.data() + start, static_cast<uInt>(size + 4)));
}

std::vector<unsigned char> Encode(const ByteImage& image) {
  const int w = image.Width(), h = image.Height(), channels = image.Channels();
  if (w <= 0 || h <= 0 || (channels != 1 && channels != 3))
    throw std::invalid_argument("no PNG for this image");
  // Every row with the "up" filter: smooth mattes and photographs compress far better.
  const size_t rowBytes = static_cast<size_t>(w) * channels;
  std::vector<unsigned char> raw((rowBytes + 1) * h);
  for (int y = 0; y < h; ++y) {
    unsigned char* out = raw.data() + (rowBytes + 1) * y;
    const unsigned char* row = image.Row(y);
    out[0] = 2;
    for (size_t i = 0; i < rowBytes; ++i)
      out[1 + i] = static_cast<unsigned char>(row[i] - (y > 0 ? row[i - rowBytes] : 0));
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<unsigned char> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK)
    throw std::runtime_error("PNG compression failed");

  std::vector<unsigned char> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<unsigned char> header;
  Put32(header, static_cast<unsigned long>(w));
  Put32(header, static_cast<unsigned long>(h));
  header.insert(header.end(), {8, static_cast<unsigned char>(channels == 1 ? 0 : 2), 0, 0, 0});
  Chunk(file, "IHDR", header.data(), header.size());
  Chunk(file, "IDAT", packed.data(), packedSize);
  Chunk(file, "IEND", nullptr, 0);
  return file;
}

// Writes the bytes beside the target under a temporary name, then renames it over the target.
void WriteWhole(const std::string& path, const unsigned char* data, size_t size) {
  const std::string temporary = path + ".partial";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) throw std::runtime_error(path + ": cannot write the file");
  const bool written = std::fwrite(data, 1, size, file) == size;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    std::remove(temporary.c_str());
    throw std::runtime_error(path + ": cannot write the file");
  }
  if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    std::remove(temporary.c_str());
    throw std::runtime_error(path + ": cannot put the file in place");
  }
}

}  // namespace

void PngWriter::Write(const std::string& path, const ByteImage& image) {
  const std::vector<unsigned char> bytes = Encode(image);
  WriteWhole(path, bytes.data(), bytes.size());
}

void PngWriter::Write(const std::string& path, const FloatImage& image) {
  ByteImage bytes(image.Width(), image.Height(), image.Channels());
  for (size_t i = 0; i < image.Samples().size(); ++i)
    bytes.Samples()[i] =
        static_cast<unsigned char>(std::lround(std::clamp(image.Samples()[i], 0.0f, 1.0f) * 255.0f));
  Write(path, bytes);
}

void PngWriter::WriteText(const std::string& path, const std::string& text) {
  WriteWhole(path, reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

}  // namespace keybench
