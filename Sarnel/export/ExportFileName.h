// The names of exported files, and the guard that keeps two images of one run from writing one file.
#pragma once

#include "classlib/ClassLib.h"

#include <set>
#include <string>

struct ExportNaming {
  bool originalFilename = false;
  CString prefix;
  int width = 1;
  CString postfix;
  CString extension;
};

// prefix + name part + postfix, then "." and the extension unless it is empty. The name part is the linked
// file's title without folder and last extension, "[n]" for an image that is not linked (with original
// names), or the number zero-padded to the width.
CString MakeExportFileName(const ExportNaming& naming, int32_t number, bool linked,
                           const CString& sourceFile);

// The names written in one run, compared without regard to case as the file system does.
class ExportNamesWritten {
 public:
  // The name itself when no earlier image of the run took it, else the name with " (2)", " (3)" ...
  // before its extension. The answer counts as taken.
  CString Claim(const CString& name);

 private:
  std::set<std::string> taken;
};
