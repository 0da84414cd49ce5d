#include "FileVersionInfo.h"

#include <new>

namespace {

struct Translation {
  WORD language;
  WORD codePage;
};

}  // namespace

bool FileVersionInfo::Load(const char* filePath) {
  block.clear();
  language = 0;
  codePage = 0;
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(filePath, &handle);
  if (size == 0) return false;
  try {
    block.resize(size);
  } catch (const std::bad_alloc&) {
    block.clear();
    return false;
  }
  if (!GetFileVersionInfoA(filePath, 0, size, block.data())) {
    block.clear();
    return false;
  }

  Translation* pairs = nullptr;
  UINT pairsBytes = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pairs),
                      &pairsBytes) ||
      pairs == nullptr)
    pairsBytes = 0;
  const size_t count = pairsBytes / sizeof(Translation);
  if (count == 0) return true;

  const WORD threadLanguage = LANGIDFROMLCID(GetThreadLocale());
  const WORD primary = PRIMARYLANGID(threadLanguage);
  const WORD wanted[] = {threadLanguage, MAKELANGID(primary, SUBLANG_NEUTRAL),
                         MAKELANGID(primary, SUBLANG_DEFAULT), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                         0x0409};
  for (WORD want : wanted) {
    for (size_t i = 0; i < count; ++i) {
      if (pairs[i].language == want) {
        language = pairs[i].language;
        codePage = pairs[i].codePage;
        return true;
      }
    }
  }
  language = pairs[0].language;
  codePage = pairs[0].codePage;
  return true;
}

CString FileVersionInfo::GetValue(const char* name) const {
  if (block.empty()) return CString();
  CString query;
  query.Format("\\StringFileInfo\\%04X%04X\\%s", language, codePage, name);
  char* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(const_cast<char*>(block.data()), query, reinterpret_cast<void**>(&value), &length) ||
      value == nullptr || length == 0)
    return CString();
  return CString(value);
}

DWORD FileVersionInfo::GetFileFlags() const {
  if (block.empty()) return 0;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT bytes = 0;
  if (!VerQueryValueA(const_cast<char*>(block.data()), "\\", reinterpret_cast<void**>(&fixed), &bytes) ||
      fixed == nullptr || bytes < sizeof(VS_FIXEDFILEINFO))
    return 0;
  return fixed->dwFileFlags & fixed->dwFileFlagsMask;
}
