#include "FileFinder.h"

namespace {
const DWORD SkippedAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN;
}

FileFinder::~FileFinder() {
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

CString FileFinder::First() {
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  search = FindFirstFileA(pattern, &data);
  if (search == INVALID_HANDLE_VALUE) return CString();
  return NextPlainFile(true);
}

CString FileFinder::Next() {
  if (search == INVALID_HANDLE_VALUE) return CString();
  return NextPlainFile(false);
}

CString FileFinder::NextPlainFile(bool haveEntry) {
  for (;;) {
    if (!haveEntry && !FindNextFileA(search, &data)) return CString();
    haveEntry = false;
    if ((data.dwFileAttributes & SkippedAttributes) == 0) return CString(data.cFileName);
  }
}
