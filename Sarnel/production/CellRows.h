// Byte-row passes of cell painting: the blend of picture and lattice through a mask, and the pale
// veil under a file-name label. Both work on 24-bit rows and stay inside the rows they are given.
#pragma once

#include <cstddef>
#include <cstdint>

// T[a][b] = floor(a * b / 255), built once.
const uint8_t* BlendTableRow(int a);
// W[v] = 224 + MulDiv(v, 31, 256), built once.
uint8_t WashValue(int v);

// lattice := T[255 - c][picture] + T[c][lattice] for every byte: a white mask keeps the lattice, a
// black one shows the picture, greys mix.
void BlendRowThroughMask(uint8_t* lattice, const uint8_t* picture, const uint8_t* mask, size_t bytes);
// Every byte through the wash table.
void WashRow(uint8_t* row, size_t bytes);

// A 24-bit top-down bitmap's rows, for the passes above. The label rectangle is clipped to the
// bitmap before any byte is touched.
struct RowBitmap {
  uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;  // bytes per row, padded to 4
};
void WashRect(const RowBitmap& bitmap, int left, int top, int right, int bottom);
