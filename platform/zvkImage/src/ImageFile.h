// Reading and writing picture files in every format the library knows, choosing the coder by the file's
// contents (and, for TARGA, which has no signature, by its extension).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "PixelImage.h"
#include "Progress.h"
#include "WicCodec.h"

namespace zvkImage {

class ImageFile {
 public:
  // frame: the image of a multi-image file (0 the first).
  static HRESULT Load(const std::wstring& path, int frame, PixelImage& image, const ProgressFn& progress);
  // The sizes of the file's images, from its header: JPEG and PNG as their own decoders read them (so the
  // two always agree), TIFF, BMP and the rest through the platform.
  static HRESULT Inspect(const std::wstring& path, std::vector<FrameInfo>& frames);
  static HRESULT Save(const std::wstring& path, long fileType, int bits, long option, const PixelImage& image,
                      const ProgressFn& progress);
  static bool IsTargaPath(const std::wstring& path);
  static bool IsPcxFile(const std::wstring& path);
  enum class Signature { Other, Jpeg, Png };
  // What the file's first bytes say it is.
  static Signature SignatureOf(const std::wstring& path);
  // Files larger than this are not read by the library's own coders.
  static constexpr uint64_t kMaxOwnCoderFile = uint64_t(1) << 31;
};

}  // namespace zvkImage
