#include "ColorDirectory.h"

#include <vector>

namespace {

using GetColorDirectoryFunction = BOOL(WINAPI*)(PCSTR, PSTR, PDWORD);

GetColorDirectoryFunction LookUp() {
  // Loaded once per run; the library stays loaded.
  static const GetColorDirectoryFunction function = [] {
    HMODULE library = LoadLibraryA("MSCMS");
    if (!library) return GetColorDirectoryFunction(nullptr);
    return reinterpret_cast<GetColorDirectoryFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetColorDirectoryA")));
  }();
  return function;
}

}  // namespace

bool GetColorDirectory(CString& folder) {
  folder.Empty();
  GetColorDirectoryFunction function = LookUp();
  if (!function) {
    SetLastError(2018);
    return false;
  }
  std::vector<char> buffer(MAX_PATH);
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD size = static_cast<DWORD>(buffer.size());
    if (function(nullptr, buffer.data(), &size)) {
      buffer.back() = '\0';
      folder = buffer.data();
      return true;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    size_t next = size > buffer.size() ? size : buffer.size() * 2;
    if (next > 32768) return false;  // no real folder name is longer
    buffer.resize(next);
  }
  return false;
}
