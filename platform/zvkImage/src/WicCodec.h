// JPEG, PNG, TIFF and BMP (and whatever else the platform decodes) through the Windows Imaging Component.
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

// Told of each option the encoder's property bag was handed: its name, the value the bag holds after the
// write (read back; VT_EMPTY when the bag cannot return it) and the result of the write. The platform's
// encoders here may ignore what they are given, so this is how the options can be checked at all.
using EncoderOptionObserver = void (*)(const wchar_t* name, const VARIANT& held, HRESULT writeResult);

class WicCodec {
 public:
  // One observer for the process (null: none); returns the one it replaces. Meant for tests.
  static EncoderOptionObserver SetEncoderOptionObserver(EncoderOptionObserver observer);
  // Frame sizes of a file the platform can decode; empty on failure (hr set).
  static HRESULT Inspect(const std::wstring& path, std::vector<FrameInfo>& frames);
  // Decodes one frame to 24-bit BGR (and alpha when the file has it), with its resolution.
  static HRESULT Decode(const std::wstring& path, int frame, PixelImage& image, const ProgressFn& progress);
  // fileType: ftJPEG, ftPNG, ftTIFF or ftBMP; bits 8 or 24. Eight bits are grey for JPEG, a palette
  // otherwise.
  static HRESULT Encode(const std::wstring& path, long fileType, int bits, float jpegQuality,
                        const PixelImage& image, const ProgressFn& progress);
};

}  // namespace zvkImage
