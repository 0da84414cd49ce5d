#include "ImagePathSearch.h"

#include "PathHelpers.h"

#include <io.h>

#include <initializer_list>

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

bool Exists(const CString& path) { return !path.IsEmpty() && _access(path, 0) == 0; }

// A network entry needs a server name and one slash after it: "\\server\..." but not "\\", "\\\...",
// "\\server" or "\\server\\...".
bool IsUsableNetworkEntry(const CString& entry) {
  const int length = entry.GetLength();
  int i = 2;
  while (i < length && !IsSlash(entry[i])) ++i;
  if (i == 2 || i >= length) return false;
  return i + 1 >= length || !IsSlash(entry[i + 1]);
}

}  // namespace

bool IsFullImagePath(const CString& path) {
  if (path.GetLength() < 3) return false;
  return (IsSlash(path[0]) && IsSlash(path[1])) || (path[1] == ':' && IsSlash(path[2]));
}

namespace {

// The search folders in order, then beside the job, then each of the job's own folders
// "<title><suffix>\" in order.
CString SearchFile(const CString& name, const CString& jobPath, const SharedStringList& folders,
                   std::initializer_list<const char*> jobFolderSuffixes) {
  if (name.IsEmpty()) return CString();
  if (IsFullImagePath(name) && Exists(name)) return name;
  const CString file = GetFileNamePart(name);
  if (file.IsEmpty()) return CString();
  const CString title = GetFileTitlePart(jobPath);
  CString folder = GetFolderPart(jobPath);
  MakeFullPath(folder);

  for (int i = 0; i < folders.GetCount(); ++i) {
    CString entry = folders[i];
    if (entry.GetLength() >= 2 && IsSlash(entry[0]) && IsSlash(entry[1]) && !IsUsableNetworkEntry(entry))
      continue;
    entry.Replace("@+", title);
    if (!IsFullImagePath(entry)) {
      if (entry.GetLength() >= 2 && entry[1] == ':') continue;  // relative to a drive's current folder
      if (!entry.IsEmpty() && entry[0] == '.' && (entry.GetLength() == 1 || IsSlash(entry[1]))) {
        int skip = 1;
        while (skip < entry.GetLength() && IsSlash(entry[skip])) ++skip;
        entry = entry.Mid(skip);
      }
      entry = CombinePath(folder, entry);
    }
    const CString candidate = CombinePath(entry, file);
    if (Exists(candidate)) return candidate;
  }
  CString candidate = CombinePath(folder, file);
  if (Exists(candidate)) return candidate;
  for (const char* suffix : jobFolderSuffixes) {
    candidate = CombinePath(folder, title) + suffix + "\\" + file;
    if (Exists(candidate)) return candidate;
  }
  return CString();
}

}  // namespace

CString SearchImageFile(const CString& name, const CString& jobPath, const SharedStringList& folders) {
  return SearchFile(name, jobPath, folders, {"#images"});
}

CString SearchGraphicFile(const CString& name, const CString& jobPath, const SharedStringList& folders) {
  return SearchFile(name, jobPath, folders, {"#graphics", "#images"});
}
