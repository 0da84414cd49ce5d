// TIFF and BMP (and whatever else the platform decodes) through the Windows Imaging Component. JPEG and PNG
// have coders of their own (JpegCodec, PngCodec).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "PixelImage.h"
#include "Progress.h"

namespace zvkImage {

struct FrameInfo {
  int width = 0;
  int height = 0;
};

class WicCodec {
 public:
  // Frame sizes of a file the platform can decode; empty on failure (hr set).
  static HRESULT Inspect(const std::wstring& path, std::vector<FrameInfo>& frames);
  // Decodes one frame to 24-bit BGR (and alpha when the file has it), with its resolution.
  static HRESULT Decode(const std::wstring& path, int frame, PixelImage& image, const ProgressFn& progress);
  // fileType: ftTIFF or ftBMP; bits 8 (a palette) or 24.
  static HRESULT Encode(const std::wstring& path, long fileType, int bits, const PixelImage& image,
                        const ProgressFn& progress);
};

}  // namespace zvkImage
