#include "StdioFile.h"

#include <fcntl.h>
#include <io.h>

namespace zvkImage {

HRESULT StdioFile::Open(const std::wstring& path, bool write) {
  Close();
  HANDLE handle = write ? CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr)
                        : CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
  const int fd = _open_osfhandle(intptr_t(handle), write ? (_O_WRONLY | _O_BINARY) : (_O_RDONLY | _O_BINARY));
  if (fd == -1) {
    CloseHandle(handle);
    return E_OUTOFMEMORY;
  }
  file_ = _fdopen(fd, write ? "wb" : "rb");
  if (!file_) {
    _close(fd);
    return E_OUTOFMEMORY;
  }
  // Larger blocks than stdio's default: fewer calls into the system for pictures of many megabytes.
  setvbuf(file_, nullptr, _IOFBF, 256 * 1024);
  return S_OK;
}

HRESULT StdioFile::Close() {
  if (!file_) return S_OK;
  const bool failed = ferror(file_) != 0;
  const bool closeFailed = fclose(file_) != 0;
  file_ = nullptr;
  return failed || closeFailed ? STG_E_WRITEFAULT : S_OK;
}

}  // namespace zvkImage
