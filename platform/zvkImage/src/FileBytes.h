// Whole files as bytes, for the library's own small coders.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zvkImage {

class FileBytes {
 public:
  // Refuses files larger than maxBytes (ERROR_FILE_TOO_LARGE).
  static HRESULT Read(const std::wstring& path, std::vector<uint8_t>& bytes, uint64_t maxBytes);
  // Writes the file anew; a failed write leaves no file behind.
  static HRESULT Write(const std::wstring& path, const std::vector<uint8_t>& bytes);
  // The size of a file, or -1.
  static int64_t Size(const std::wstring& path);
};

}  // namespace zvkImage
