// JPEG through libjpeg-turbo: 8-bit greyscale and 24-bit colour, resolution from the JFIF density or the EXIF
// resolution and written back as a JFIF density in dots per inch.
#pragma once

#include <windows.h>

#include <string>

#include "PixelImage.h"
#include "Progress.h"

namespace zvkImage {

class JpegCodec {
 public:
  // The picture's size from the file's header. Fails for files the decoder would refuse (CMYK, say).
  static HRESULT Inspect(const std::wstring& path, int& width, int& height);
  // The whole picture as 24-bit BGR. A readable file with damage the decoder gets past (a truncated last
  // scan, for example) loads with the rows it has and S_OK.
  static HRESULT Decode(const std::wstring& path, PixelImage& image, const ProgressFn& progress);
  // bits 8: greyscale; 24: colour. quality 1..100 as libjpeg's quality scale.
  static HRESULT Encode(const std::wstring& path, int bits, int quality, const PixelImage& image,
                        const ProgressFn& progress);
};

}  // namespace zvkImage
