// A C stdio stream on a file named by a wide path, for the C libraries that read and write through FILE*
// (libjpeg-turbo, libpng). Opening goes through CreateFileW, so a failure carries the system's own error.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace zvkImage {

class StdioFile {
 public:
  StdioFile() = default;
  StdioFile(const StdioFile&) = delete;
  StdioFile& operator=(const StdioFile&) = delete;
  ~StdioFile() { Close(); }

  // Reading: shared with other readers. Writing: the file is created anew.
  HRESULT Open(const std::wstring& path, bool write);
  // Closes the stream; for a written file, S_OK only when every byte reached the file.
  HRESULT Close();
  FILE* Get() const { return file_; }

 private:
  FILE* file_ = nullptr;
};

}  // namespace zvkImage
