#include "PictWriter.h"

#include <algorithm>
#include <cmath>

#include "ByteWriter.h"
#include "PaletteQuantizer.h"

namespace zvkImage {
namespace {

// PackBits: runs of 2..128 equal bytes as (1 - n, byte), literals of 1..128 bytes as (n - 1, bytes).
void PackBits(const uint8_t* data, size_t n, std::vector<uint8_t>& out) {
  size_t i = 0;
  while (i < n) {
    size_t run = 1;
    while (i + run < n && run < 128 && data[i + run] == data[i]) ++run;
    if (run >= 2) {
      out.push_back(uint8_t(257 - run));
      out.push_back(data[i]);
      i += run;
      continue;
    }
    size_t start = i, lit = 0;
    while (i < n && lit < 128) {
      if (i + 1 < n && data[i + 1] == data[i]) break;
      ++i;
      ++lit;
    }
    if (lit == 0) {  // a pair begins right here; let the run branch take it
      continue;
    }
    out.push_back(uint8_t(lit - 1));
    out.insert(out.end(), data + start, data + start + lit);
  }
}

void Rect(ByteWriter& out, int w, int h) {
  out.BE16(0);
  out.BE16(0);
  out.BE16(uint32_t(h));
  out.BE16(uint32_t(w));
}

uint32_t Fixed(double dpi) {
  const double v = dpi > 0 && dpi < 32767 ? dpi : 72.0;
  return uint32_t(std::lround(v * 65536.0));
}

// One packed row with its byte count (a byte when rowBytes <= 250, else a word).
void PackedRow(ByteWriter& out, const std::vector<uint8_t>& row, uint32_t rowBytes) {
  if (rowBytes < 8) {  // short rows are stored unpacked
    out.bytes.insert(out.bytes.end(), row.begin(), row.end());
    return;
  }
  std::vector<uint8_t> packed;
  PackBits(row.data(), row.size(), packed);
  if (rowBytes > 250)
    out.BE16(uint32_t(packed.size()));
  else
    out.U8(uint32_t(packed.size()));
  out.bytes.insert(out.bytes.end(), packed.begin(), packed.end());
}

void PixMapFields(ByteWriter& out, const PixelImage& image, uint32_t packType, uint32_t pixelType,
                  uint32_t pixelSize, uint32_t cmpCount) {
  out.BE16(0);  // pmVersion
  out.BE16(packType);
  out.BE32(0);  // packSize
  out.BE32(Fixed(image.dpiX));
  out.BE32(Fixed(image.dpiY));
  out.BE16(pixelType);
  out.BE16(pixelSize);
  out.BE16(cmpCount);
  out.BE16(8);  // cmpSize
  out.BE32(0);  // planeBytes
  out.BE32(0);  // pmTable
  out.BE32(0);  // pmReserved
}

}  // namespace

std::vector<uint8_t> PictWriter::Write(const PixelImage& image, int bits) {
  const int w = image.Width(), h = image.Height();
  if (w <= 0 || h <= 0 || w > 32767 || h > 32767) return {};
  ByteWriter out;
  out.Zeros(512);
  out.BE16(0);  // picture size: unused in version 2 (too small a field); patched below when it fits
  Rect(out, w, h);
  out.BE16(0x0011);
  out.BE16(0x02FF);
  out.BE16(0x0C00);  // extended version-2 header
  out.BE16(0xFFFE);
  out.BE16(0);
  out.BE32(Fixed(image.dpiX));
  out.BE32(Fixed(image.dpiY));
  Rect(out, w, h);
  out.BE32(0);
  out.BE16(0x001E);  // default highlight
  out.BE16(0x0001);  // clip region: the picture
  out.BE16(10);
  Rect(out, w, h);
  if (bits == 8) {
    const IndexedImage indexed = PaletteQuantizer::Quantize(image);
    const uint32_t rowBytes = uint32_t(w + (w & 1));
    out.BE16(0x0098);
    out.BE16(rowBytes | 0x8000);
    Rect(out, w, h);
    PixMapFields(out, image, 0, 0, 8, 1);
    out.BE32(0);  // colour table seed
    out.BE16(0);  // flags
    out.BE16(uint32_t(indexed.palette.size() - 1));
    for (size_t i = 0; i < indexed.palette.size(); ++i) {
      out.BE16(uint32_t(i));
      out.BE16(indexed.palette[i].rgbRed * 257u);
      out.BE16(indexed.palette[i].rgbGreen * 257u);
      out.BE16(indexed.palette[i].rgbBlue * 257u);
    }
    Rect(out, w, h);
    Rect(out, w, h);
    out.BE16(0);  // source copy
    std::vector<uint8_t> row(rowBytes, 0);
    for (int y = 0; y < h; ++y) {
      std::copy_n(&indexed.indices[size_t(y) * w], size_t(w), row.begin());
      PackedRow(out, row, rowBytes);
    }
  } else {
    const uint32_t rowBytes = uint32_t(w) * 4;
    const bool packed = rowBytes >= 8;
    out.BE16(0x009A);
    out.BE32(0x000000FF);  // base address of a direct pixel map
    out.BE16(rowBytes | 0x8000);
    Rect(out, w, h);
    PixMapFields(out, image, packed ? 4 : 1, 16, 32, 3);
    Rect(out, w, h);
    Rect(out, w, h);
    out.BE16(0);
    std::vector<uint8_t> row;
    for (int y = 0; y < h; ++y) {
      const uint8_t* p = image.Row(y);
      if (packed) {  // red plane, green plane, blue plane
        row.resize(size_t(w) * 3);
        for (int x = 0; x < w; ++x) {
          row[size_t(x)] = p[3 * x + 2];
          row[size_t(w) + x] = p[3 * x + 1];
          row[2 * size_t(w) + x] = p[3 * x];
        }
      } else {  // one pixel: x, r, g, b
        row = {0, p[2], p[1], p[0]};
      }
      PackedRow(out, row, rowBytes);
    }
  }
  if (out.bytes.size() & 1) out.U8(0);  // opcodes start on even offsets
  out.BE16(0x00FF);
  const size_t size = out.bytes.size() - 512;
  if (size <= 0xFFFF) out.bytes[512] = uint8_t(size >> 8), out.bytes[513] = uint8_t(size);
  return out.bytes;
}

}  // namespace zvkImage
