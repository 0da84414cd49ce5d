// Finds the plain files (no folders, system or hidden files) that match a pattern.
#pragma once

#include "classlib/ClassLib.h"

class FileFinder {
 public:
  explicit FileFinder(const char* pattern) : pattern(pattern) {}
  FileFinder(const FileFinder&) = delete;
  FileFinder& operator=(const FileFinder&) = delete;
  ~FileFinder();

  // The first matching name (no folder); empty when there is none.
  CString First();
  // The next one; empty at the end.
  CString Next();

 private:
  CString NextPlainFile(bool haveEntry);

  CString pattern;
  HANDLE search = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA data{};
};
