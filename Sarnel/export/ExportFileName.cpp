#include "ExportFileName.h"

#include <algorithm>
#include <cctype>

namespace {

// The file's title: no folder, no last extension.
CString Title(const CString& path) {
  const std::string text(static_cast<const char*>(path));
  const size_t slash = text.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? text : text.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return CString(name.c_str());
}

std::string Folded(const CString& name) {
  std::string text(static_cast<const char*>(name));
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

}  // namespace

CString MakeExportFileName(const ExportNaming& naming, int32_t number, bool linked,
                           const CString& sourceFile) {
  CString part;
  if (naming.originalFilename) {
    if (linked)
      part = Title(sourceFile);
    else
      part.Format("[%d]", number);
  } else {
    part.Format("%.*d", naming.width, number);
  }
  CString name = naming.prefix + part + naming.postfix;
  if (!naming.extension.IsEmpty()) name += "." + naming.extension;
  return name;
}

CString ExportNamesWritten::Claim(const CString& name) {
  if (taken.insert(Folded(name)).second) return name;
  const std::string text(static_cast<const char*>(name));
  const size_t dot = text.find_last_of('.');
  const std::string stem = dot == std::string::npos ? text : text.substr(0, dot);
  const std::string extension = dot == std::string::npos ? std::string() : text.substr(dot);
  for (int n = 2;; ++n) {
    const std::string candidate = stem + " (" + std::to_string(n) + ")" + extension;
    if (taken.insert(Folded(CString(candidate.c_str()))).second) return CString(candidate.c_str());
  }
}
