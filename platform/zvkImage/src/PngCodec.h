// PNG through libpng. Reads 8-bit palette and greyscale, colour and colour with alpha (16-bit samples are
// reduced to 8, interlaced files read whole); writes 24-bit colour and an 8-bit palette. Resolution (pHYs)
// both ways.
#pragma once

#include <windows.h>

#include <string>

#include "PixelImage.h"
#include "Progress.h"

namespace zvkImage {

class PngCodec {
 public:
  // The picture's size from the file's header.
  static HRESULT Inspect(const std::wstring& path, int& width, int& height);
  // 24-bit BGR, and an alpha plane when the file has transparency.
  static HRESULT Decode(const std::wstring& path, PixelImage& image, const ProgressFn& progress);
  // bits 8: a palette of at most 256 colours; 24: colour.
  static HRESULT Encode(const std::wstring& path, int bits, const PixelImage& image,
                        const ProgressFn& progress);
};

}  // namespace zvkImage
