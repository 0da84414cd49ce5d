#include "CellRows.h"

#include <algorithm>
#include <array>

namespace {

struct Tables {
  std::array<std::array<uint8_t, 256>, 256> blend;
  std::array<uint8_t, 256> wash;
  Tables() {
    for (int a = 0; a < 256; ++a)
      for (int b = 0; b < 256; ++b) blend[a][b] = static_cast<uint8_t>(a * b / 255);
    // MulDiv rounds half away from zero.
    for (int v = 0; v < 256; ++v) wash[v] = static_cast<uint8_t>(224 + (v * 31 + 128) / 256);
  }
};

const Tables& GetTables() {
  static const Tables tables;
  return tables;
}

}  // namespace

const uint8_t* BlendTableRow(int a) { return GetTables().blend[static_cast<size_t>(a & 0xFF)].data(); }

uint8_t WashValue(int v) { return GetTables().wash[static_cast<size_t>(v & 0xFF)]; }

void BlendRowThroughMask(uint8_t* lattice, const uint8_t* picture, const uint8_t* mask, size_t bytes) {
  const Tables& t = GetTables();
  for (size_t i = 0; i < bytes; ++i) {
    const uint8_t c = mask[i];
    lattice[i] = static_cast<uint8_t>(t.blend[255 - c][picture[i]] + t.blend[c][lattice[i]]);
  }
}

void WashRow(uint8_t* row, size_t bytes) {
  const Tables& t = GetTables();
  for (size_t i = 0; i < bytes; ++i) row[i] = t.wash[row[i]];
}

void WashRect(const RowBitmap& bitmap, int left, int top, int right, int bottom) {
  if (bitmap.bits == nullptr) return;
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, bitmap.width);
  bottom = std::min(bottom, bitmap.height);
  if (left >= right || top >= bottom) return;
  for (int y = top; y < bottom; ++y)
    WashRow(bitmap.bits + static_cast<size_t>(y) * bitmap.stride + static_cast<size_t>(left) * 3,
            static_cast<size_t>(right - left) * 3);
}
