// The benchmarks' generated pictures: soft gradients, different for every seed, with or without fine
// noise (with it, the stored form is about as large as a photograph's).
#pragma once

#include "ImageBitmap.h"

#include <vector>

inline IBitmapPtr MakeGeneratedPicture(const char* place, long width, long height, unsigned seed,
                                       bool noisy) {
  IBitmapPtr bitmap = CreateImageBitmap(place, 1);
  CheckBitmapCall(bitmap->Allocate(width, height, 24, 0), bitmap);
  const long stride = (width * 3 + 3) & ~3L;
  std::vector<unsigned char> pixels(static_cast<size_t>(stride) * static_cast<size_t>(height));
  unsigned state = seed * 2654435761u + 1u;
  for (long y = 0; y < height; ++y) {
    unsigned char* row = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(stride);
    for (long x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      const unsigned noise = noisy ? (state >> 24) & 0x3F : 0;
      row[3 * x] = static_cast<unsigned char>((x * 255 / width + noise + seed * 40) & 0xFF);
      row[3 * x + 1] = static_cast<unsigned char>((y * 255 / height + noise + seed * 11) & 0xFF);
      row[3 * x + 2] = static_cast<unsigned char>(((x + y) * 127 / (width + height) + noise * 2) & 0xFF);
    }
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  HDC dc = nullptr;
  CheckBitmapCall(bitmap->GetDC(&dc), bitmap);
  SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                    static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  CheckBitmapCall(bitmap->ReleaseDC(dc), bitmap);
  return bitmap;
}
