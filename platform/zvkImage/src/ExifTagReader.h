// Our own bounded reader of the two text tags the program reads from imported files: the TIFF
// ImageDescription (270, in the first directory) and the EXIF UserComment (37510, in the EXIF directory),
// from a TIFF file or a JPEG file's EXIF segment. Every offset and count is checked against the bytes there
// are, and nothing larger than a directory or a tag's text is ever read at once.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zvkImage {

class ExifTagReader {
 public:
  // The tags found, as wide texts (trailing NULs and, for the comment, the character-code prefix removed).
  // A TIFF file is read where its directories lie, however far into the file (many writers put them after
  // the pixel data); a JPEG file's EXIF segment lies within its first kMaxJpegHead bytes.
  static std::map<long, std::wstring> ReadFile(const std::wstring& path);
  // The same from bytes in memory (the whole TIFF file, or the head of a JPEG file).
  static std::map<long, std::wstring> Read(const std::vector<uint8_t>& file);
  // The resolution in dpi from a JPEG's EXIF segment ("Exif\0\0" and its TIFF structure), converted from
  // centimetres where the file counts in them; false when the segment gives none that makes sense.
  static bool ReadResolution(const uint8_t* exif, size_t size, double& dpiX, double& dpiY);
  static constexpr size_t kMaxJpegHead = 8u << 20;
  // Longer tag values are not texts the program reads: they are skipped.
  static constexpr uint64_t kMaxValueBytes = 1u << 20;
};

}  // namespace zvkImage
