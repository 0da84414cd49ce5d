#include "TargaCodec.h"

#include <algorithm>
#include <cstring>

#include "ByteWriter.h"
#include "PaletteQuantizer.h"

namespace zvkImage {

std::vector<uint8_t> TargaCodec::Write(const PixelImage& image, int bits) {
  const int w = image.Width(), h = image.Height();
  ByteWriter out;
  const bool mapped = bits == 8;
  IndexedImage indexed;
  if (mapped) indexed = PaletteQuantizer::Quantize(image);
  out.U8(0);               // no identification field
  out.U8(mapped ? 1 : 0);  // colour map
  out.U8(mapped ? 1 : 2);  // uncompressed mapped / true colour
  out.LE16(0);             // first map entry
  out.LE16(mapped ? uint32_t(indexed.palette.size()) : 0);
  out.U8(mapped ? 24 : 0);  // map entry size
  out.LE16(0);
  out.LE16(0);  // origin
  out.LE16(uint32_t(w));
  out.LE16(uint32_t(h));
  out.U8(mapped ? 8 : 24);
  out.U8(0x20);  // top row first
  if (mapped) {
    for (const RGBQUAD& q : indexed.palette) out.U8(q.rgbBlue), out.U8(q.rgbGreen), out.U8(q.rgbRed);
    out.bytes.insert(out.bytes.end(), indexed.indices.begin(), indexed.indices.end());
  } else {
    out.bytes.reserve(out.bytes.size() + size_t(w) * 3 * h);
    for (int y = 0; y < h; ++y) out.bytes.insert(out.bytes.end(), image.Row(y), image.Row(y) + size_t(w) * 3);
  }
  return out.bytes;
}

bool TargaCodec::Read(const std::vector<uint8_t>& bytes, PixelImage& image) {
  ByteReader in{bytes.data(), bytes.size()};
  const uint32_t idLength = in.U8(), mapType = in.U8(), type = in.U8();
  const uint32_t mapFirst = in.LE16(), mapLength = in.LE16(), mapEntryBits = in.U8();
  in.LE16();
  in.LE16();
  const uint32_t w = in.LE16(), h = in.LE16(), depth = in.U8(), descriptor = in.U8();
  if (!in.ok || mapType > 1) return false;
  const uint32_t baseType = type & 7;
  const bool rle = (type & 8) != 0;
  if ((type & ~0xBu) != 0 || baseType < 1 || baseType > 3) return false;
  if (w == 0 || h == 0 || !PixelImage::SizeAllowed(w, h)) return false;
  if (baseType == 1 && (mapType != 1 || depth != 8)) return false;
  if (baseType == 2 && depth != 15 && depth != 16 && depth != 24 && depth != 32) return false;
  if (baseType == 3 && depth != 8) return false;
  in.Skip(idLength);
  // Colour map, as BGR triples.
  std::vector<uint8_t> map;
  if (mapType == 1) {
    if (mapEntryBits != 15 && mapEntryBits != 16 && mapEntryBits != 24 && mapEntryBits != 32) return false;
    const uint32_t entryBytes = (mapEntryBits + 7) / 8;
    if (!in.Has(size_t(mapLength) * entryBytes)) return false;
    map.assign(size_t(mapFirst + mapLength) * 3, 0);
    for (uint32_t i = 0; i < mapLength; ++i) {
      uint8_t* m = &map[size_t(mapFirst + i) * 3];
      if (entryBytes == 2) {
        const uint32_t v = in.LE16();
        m[0] = uint8_t((v & 31) * 255 / 31), m[1] = uint8_t(((v >> 5) & 31) * 255 / 31),
        m[2] = uint8_t(((v >> 10) & 31) * 255 / 31);
      } else {
        m[0] = uint8_t(in.U8()), m[1] = uint8_t(in.U8()), m[2] = uint8_t(in.U8());
        if (entryBytes == 4) in.U8();
      }
    }
  }
  const uint32_t pixelBytes = (depth + 7) / 8;
  const size_t total = size_t(w) * h;
  // Pixels in file order, unpacked.
  std::vector<uint8_t> raw;
  if (!rle) {
    if (!in.Has(total * pixelBytes)) return false;
    raw.assign(bytes.data() + in.pos, bytes.data() + in.pos + total * pixelBytes);
  } else {
    // A run packet of one head byte and one pixel gives at most 128 pixels: the header's size is believed
    // only as far as the bytes left can carry it, so a crafted header cannot make a huge buffer.
    const size_t left = bytes.size() - std::min(bytes.size(), in.pos);
    if (total > left / (1 + pixelBytes) * 128 + 128) return false;
    raw.reserve(total * pixelBytes);
    while (raw.size() < total * pixelBytes) {
      const uint32_t head = in.U8();
      const size_t count = (head & 0x7F) + 1;
      if (!in.ok || raw.size() + count * pixelBytes > total * pixelBytes) return false;
      if (head & 0x80) {
        if (!in.Has(pixelBytes)) return false;
        for (size_t k = 0; k < count; ++k)
          raw.insert(raw.end(), bytes.data() + in.pos, bytes.data() + in.pos + pixelBytes);
        in.pos += pixelBytes;
      } else {
        if (!in.Has(count * pixelBytes)) return false;
        raw.insert(raw.end(), bytes.data() + in.pos, bytes.data() + in.pos + count * pixelBytes);
        in.pos += count * pixelBytes;
      }
    }
  }
  PixelImage out;
  out.Allocate(int(w), int(h), false);
  out.dpiX = out.dpiY = 72.0;
  const bool alpha = depth == 32;
  if (alpha) out.AddAlpha(255);
  const bool topFirst = (descriptor & 0x20) != 0, rightFirst = (descriptor & 0x10) != 0;
  for (uint32_t r = 0; r < h; ++r) {
    const int y = topFirst ? int(r) : int(h - 1 - r);
    uint8_t* d = out.Row(y);
    for (uint32_t c = 0; c < w; ++c) {
      const int x = rightFirst ? int(w - 1 - c) : int(c);
      const uint8_t* s = &raw[(size_t(r) * w + c) * pixelBytes];
      uint8_t* p = d + size_t(x) * 3;
      if (baseType == 1) {
        const size_t i = s[0];
        if (i * 3 + 2 < map.size())
          std::memcpy(p, &map[i * 3], 3);
        else
          p[0] = p[1] = p[2] = 0;
      } else if (baseType == 3) {
        p[0] = p[1] = p[2] = s[0];
      } else if (pixelBytes == 2) {
        const uint32_t v = s[0] | s[1] << 8;
        p[0] = uint8_t((v & 31) * 255 / 31), p[1] = uint8_t(((v >> 5) & 31) * 255 / 31),
        p[2] = uint8_t(((v >> 10) & 31) * 255 / 31);
      } else {
        p[0] = s[0], p[1] = s[1], p[2] = s[2];
        if (alpha) out.AlphaRow(y)[x] = s[3];
      }
    }
  }
  image = std::move(out);
  return true;
}

}  // namespace zvkImage
