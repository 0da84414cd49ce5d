// Our own bounded reader of the two text tags the program reads from imported files: the TIFF
// ImageDescription (270, in the first directory) and the EXIF UserComment (37510, in the EXIF directory),
// from a TIFF file or a JPEG file's EXIF segment. Every offset and count is checked against the bytes given.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zvkImage {

class ExifTagReader {
 public:
  // The tags found, as wide texts (trailing NULs and, for the comment, the character-code prefix removed).
  static std::map<long, std::wstring> Read(const std::vector<uint8_t>& file);
  // The number of bytes at the start of a file that the reader looks at.
  static constexpr size_t kMaxBytes = 8u << 20;
};

}  // namespace zvkImage
