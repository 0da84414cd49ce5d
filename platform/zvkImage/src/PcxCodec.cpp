#include "PcxCodec.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "ByteWriter.h"
#include "PaletteQuantizer.h"

namespace zvkImage {
namespace {

void EncodeLine(const uint8_t* line, size_t n, std::vector<uint8_t>& out) {
  for (size_t i = 0; i < n;) {
    size_t run = 1;
    while (i + run < n && run < 63 && line[i + run] == line[i]) ++run;
    if (run > 1 || line[i] >= 0xC0) out.push_back(uint8_t(0xC0 | run));
    out.push_back(line[i]);
    i += run;
  }
}

uint32_t Dpi(double dpi) {
  const double v = std::round(dpi);
  return v < 1 ? 72 : (v > 65535 ? 65535 : uint32_t(v));
}

}  // namespace

std::vector<uint8_t> PcxCodec::Write(const PixelImage& image, int bits) {
  const int w = image.Width(), h = image.Height();
  const bool mapped = bits == 8;
  const uint32_t lineBytes = uint32_t(w + (w & 1));
  ByteWriter out;
  out.U8(0x0A);
  out.U8(5);
  out.U8(1);
  out.U8(8);
  out.LE16(0);
  out.LE16(0);
  out.LE16(uint32_t(w - 1));
  out.LE16(uint32_t(h - 1));
  out.LE16(Dpi(image.dpiX));
  out.LE16(Dpi(image.dpiY));
  out.Zeros(48);
  out.U8(0);
  out.U8(mapped ? 1 : 3);
  out.LE16(lineBytes);
  out.LE16(1);
  out.Zeros(58);
  std::vector<uint8_t> line(lineBytes, 0);
  if (mapped) {
    const IndexedImage indexed = PaletteQuantizer::Quantize(image);
    for (int y = 0; y < h; ++y) {
      std::memcpy(line.data(), &indexed.indices[size_t(y) * w], size_t(w));
      EncodeLine(line.data(), lineBytes, out.bytes);
    }
    out.U8(0x0C);
    for (size_t i = 0; i < 256; ++i) {
      const RGBQUAD q = i < indexed.palette.size() ? indexed.palette[i] : RGBQUAD{};
      out.U8(q.rgbRed), out.U8(q.rgbGreen), out.U8(q.rgbBlue);
    }
  } else {
    for (int y = 0; y < h; ++y)
      for (int plane = 0; plane < 3; ++plane) {  // red, green, blue
        const uint8_t* p = image.Row(y) + (2 - plane);
        for (int x = 0; x < w; ++x) line[size_t(x)] = p[size_t(x) * 3];
        EncodeLine(line.data(), lineBytes, out.bytes);
      }
  }
  return out.bytes;
}

bool PcxCodec::Read(const std::vector<uint8_t>& bytes, PixelImage& image) {
  if (bytes.size() < 128) return false;
  ByteReader in{bytes.data(), bytes.size()};
  const uint32_t maker = in.U8(), version = in.U8(), encoding = in.U8(), bpp = in.U8();
  const uint32_t x0 = in.LE16(), y0 = in.LE16(), x1 = in.LE16(), y1 = in.LE16();
  const uint32_t dpiX = in.LE16(), dpiY = in.LE16();
  in.Skip(48);
  in.U8();
  const uint32_t planes = in.U8(), lineBytes = in.LE16();
  if (maker != 0x0A || encoding != 1 || bpp != 8 || version > 5 || x1 < x0 || y1 < y0) return false;
  const uint32_t w = x1 - x0 + 1, h = y1 - y0 + 1;
  if (!PixelImage::SizeAllowed(w, h) || lineBytes < w || (planes != 1 && planes != 3 && planes != 4))
    return false;
  in.pos = 128;
  // The palette of a one-plane picture lies in the last 769 bytes.
  uint8_t palette[768];
  size_t end = bytes.size();
  bool hasPalette = false;
  if (planes == 1 && bytes.size() >= 128 + 769 && bytes[bytes.size() - 769] == 0x0C) {
    std::memcpy(palette, &bytes[bytes.size() - 768], 768);
    end = bytes.size() - 769;
    hasPalette = true;
  }
  const size_t scan = size_t(lineBytes) * planes;
  // Two bytes give a run of at most 63: the header's size is believed only as far as the bytes can carry it.
  if (uint64_t(scan) * h > uint64_t(end - 128) / 2 * 63 + 63) return false;
  std::vector<uint8_t> line(scan);
  PixelImage out;
  out.Allocate(int(w), int(h), false);
  out.dpiX = dpiX ? dpiX : 72;
  out.dpiY = dpiY ? dpiY : 72;
  for (uint32_t y = 0; y < h; ++y) {
    size_t filled = 0;
    while (filled < scan) {
      if (in.pos >= end) return false;
      uint32_t b = bytes[in.pos++];
      size_t count = 1;
      if ((b & 0xC0) == 0xC0) {
        count = b & 0x3F;
        if (in.pos >= end) return false;
        b = bytes[in.pos++];
      }
      count = std::min(count, scan - filled);  // runs may not cross the scan line
      std::memset(&line[filled], int(b), count);
      filled += count;
    }
    uint8_t* d = out.Row(int(y));
    for (uint32_t x = 0; x < w; ++x, d += 3) {
      if (planes == 1) {
        const uint8_t v = line[x];
        if (hasPalette)
          d[2] = palette[v * 3], d[1] = palette[v * 3 + 1], d[0] = palette[v * 3 + 2];
        else
          d[0] = d[1] = d[2] = v;
      } else {
        d[2] = line[x], d[1] = line[lineBytes + x], d[0] = line[2 * size_t(lineBytes) + x];
      }
    }
  }
  image = std::move(out);
  return true;
}

}  // namespace zvkImage
