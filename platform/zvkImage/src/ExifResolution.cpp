#include "ExifResolution.h"

#include <cstring>

namespace zvkImage {

bool ExifResolution(const uint8_t* exif, size_t size, double& dpiX, double& dpiY) {
  if (size < 14 || std::memcmp(exif, "Exif\0\0", 6) != 0) return false;
  const uint8_t* t = exif + 6;
  const uint64_t n = size - 6;
  bool little;
  if (t[0] == 'I' && t[1] == 'I')
    little = true;
  else if (t[0] == 'M' && t[1] == 'M')
    little = false;
  else
    return false;
  auto u16 = [&](uint64_t at) -> uint32_t {
    if (at + 2 > n) return 0;
    return little ? t[at] | t[at + 1] << 8 : t[at] << 8 | t[at + 1];
  };
  auto u32 = [&](uint64_t at) -> uint32_t {
    return little ? u16(at) | u16(at + 2) << 16 : u16(at) << 16 | u16(at + 2);
  };
  if (u16(2) != 42) return false;
  const uint64_t dir = u32(4);
  const uint32_t entries = u16(dir);
  if (entries > 4096 || dir + 2 + uint64_t(entries) * 12 > n) return false;
  double x = 0, y = 0;
  uint32_t unit = 2;  // inches unless told otherwise
  for (uint32_t i = 0; i < entries; ++i) {
    const uint64_t e = dir + 2 + uint64_t(i) * 12;
    const uint32_t tag = u16(e), type = u16(e + 2);
    if ((tag == 282 || tag == 283) && type == 5) {  // RATIONAL, always beyond the entry
      const uint64_t at = u32(e + 8);
      if (at + 8 > n) continue;
      const uint32_t num = u32(at), den = u32(at + 4);
      (tag == 282 ? x : y) = den ? double(num) / den : 0.0;
    } else if (tag == 296 && type == 3) {
      unit = u16(e + 8);
    }
  }
  if (unit != 2 && unit != 3) return false;
  const double scale = unit == 3 ? 2.54 : 1.0;
  if (!(x > 0) || !(y > 0) || x * scale > 1e6 || y * scale > 1e6) return false;
  dpiX = x * scale;
  dpiY = y * scale;
  return true;
}

}  // namespace zvkImage
