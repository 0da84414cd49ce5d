// The version block of a program file, read once, with the one translation that best fits the
// thread's language.
#pragma once

#include "classlib/ClassLib.h"

#include <vector>

class FileVersionInfo {
 public:
  // Reads the block and picks the translation: the thread locale's language, then its neutral
  // forms, then English, then the first one. False when the file has no version block.
  bool Load(const char* filePath);

  // "\StringFileInfo\<language><code page>\<name>"; empty when missing.
  CString GetValue(const char* name) const;
  // The fixed part's file flags (VS_FF_PRIVATEBUILD ...); 0 when unknown.
  DWORD GetFileFlags() const;

  WORD GetLanguage() const { return language; }
  WORD GetCodePage() const { return codePage; }

 private:
  std::vector<char> block;
  WORD language = 0;
  WORD codePage = 0;
};
