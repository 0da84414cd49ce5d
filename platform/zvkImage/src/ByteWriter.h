// Appends little- and big-endian numbers to a byte vector (the coders' file headers).
#pragma once

#include <cstdint>
#include <vector>

namespace zvkImage {

struct ByteWriter {
  std::vector<uint8_t> bytes;
  void U8(uint32_t v) { bytes.push_back(uint8_t(v)); }
  void LE16(uint32_t v) {
    U8(v);
    U8(v >> 8);
  }
  void LE32(uint32_t v) {
    LE16(v & 0xFFFF);
    LE16(v >> 16);
  }
  void BE16(uint32_t v) {
    U8(v >> 8);
    U8(v);
  }
  void BE32(uint32_t v) {
    BE16(v >> 16);
    BE16(v & 0xFFFF);
  }
  void Zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
};

// Reads numbers from a byte range; every read checks what remains and sets ok to false past the end.
struct ByteReader {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;
  bool ok = true;
  bool Has(size_t n) const { return ok && n <= size - pos; }
  uint32_t U8() {
    if (!Has(1)) {
      ok = false;
      return 0;
    }
    return data[pos++];
  }
  uint32_t LE16() {
    uint32_t a = U8();
    return a | U8() << 8;
  }
  uint32_t LE32() {
    uint32_t a = LE16();
    return a | LE16() << 16;
  }
  uint32_t BE16() {
    uint32_t a = U8();
    return a << 8 | U8();
  }
  uint32_t BE32() {
    uint32_t a = BE16();
    return a << 16 | BE16();
  }
  void Skip(size_t n) {
    if (!Has(n))
      ok = false;
    else
      pos += n;
  }
};

}  // namespace zvkImage
