#include "PathHelpers.h"

#include "ColorDirectory.h"

#include <io.h>
#include <shlobj.h>

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }
bool IsSplitter(char c) { return c == '\\' || c == '/' || c == ':'; }

// The last splitter at an index in [from, to), or -1.
int LastSplitter(const CString& path, int from, int to) {
  for (int i = to - 1; i >= from; --i)
    if (IsSplitter(path[i])) return i;
  return -1;
}

// The last "." of the whole text, not counting one in the first character; -1 when none.
int LastDot(const CString& path) {
  int dot = path.ReverseFind('.');
  return dot > 0 ? dot : -1;
}

}  // namespace

CString AppendBackslash(const CString& path) {
  if (path.IsEmpty() || IsSlash(path[path.GetLength() - 1])) return path;
  return path + "\\";
}

CString GetFolderPart(const CString& path) {
  int at = LastSplitter(path, 1, path.GetLength());
  return at > 0 ? path.Left(at) : CString();
}

CString GetFileNamePart(const CString& path) {
  int at = LastSplitter(path, 0, path.GetLength() - 1);
  return at >= 0 ? path.Mid(at + 1) : path;
}

CString GetFileTitlePart(const CString& path) {
  int dot = LastDot(path);
  if (dot < 0) dot = path.GetLength();
  int at = LastSplitter(path, 0, dot);
  return path.Mid(at + 1, dot - at - 1);
}

CString GetExtensionPart(const CString& path) {
  int dot = LastDot(path);
  return dot < 0 ? CString() : path.Mid(dot + 1);
}

CString CombinePath(const CString& folder, const CString& name) {
  if (folder.IsEmpty()) return name;
  if (name.IsEmpty()) return folder;
  bool folderEnds = IsSplitter(folder[folder.GetLength() - 1]);
  bool nameStarts = IsSlash(name[0]);
  if (folderEnds && nameStarts) return folder + name.Mid(1);
  if (folderEnds || nameStarts) return folder + name;
  return folder + "\\" + name;
}

bool CreateFolderPath(const CString& path) {
  int length = path.GetLength();
  int at = 0;
  if (length >= 3 && isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && IsSlash(path[2])) {
    at = 2;
  } else if (length >= 2 && path[0] == '\\' && path[1] == '\\') {
    int server = 2;
    while (server < length && !IsSlash(path[server])) ++server;
    if (server >= length) return false;
    at = server;
  }
  while (at < length) {
    if (IsSlash(path[at])) {
      if (at == length - 1) break;  // a final separator ends the work
      ++at;
    }
    while (at < length && !IsSlash(path[at])) ++at;
    CString folder = at < length ? path.Left(at + 1) : path;
    if (_access(folder, 0) != 0 && !CreateDirectoryA(folder, nullptr)) return false;
  }
  return true;
}

int CheckPath(CString& path, bool normalise, bool stripTrailing) {
  int length = path.GetLength();
  if (length == 0) return PathRelative;
  int kind;
  bool network = length >= 2 && IsSlash(path[0]) && IsSlash(path[1]);
  if (!network) {
    if (IsSplitter(path[0])) {
      kind = PathInvalid;
    } else if (length >= 2 && path[1] == ':') {
      kind = (isalpha(static_cast<unsigned char>(path[0])) && length > 2 && IsSlash(path[2])) ? PathAbsolute
                                                                                              : PathInvalid;
    } else {
      kind = PathRelative;
    }
  } else {
    if (length < 5 || IsSlash(path[2])) {
      kind = PathInvalid;
    } else if (path[2] == '?' && IsSlash(path[3])) {
      return PathAbsolute;  // a path in the raw namespace is taken as it stands
    } else {
      kind = PathAbsolute;
    }
  }
  if (kind == PathInvalid) {
    SetLastError(ERROR_INVALID_NAME);
    return PathInvalid;
  }
  if (normalise) {
    path.Replace('/', '\\');
    while (path.Replace("\\\\", "\\") > 0) {
    }
    if (network) path = "\\" + path;
  }
  if (stripTrailing) {
    int end = path.GetLength();
    while (end > 0 && IsSlash(path[end - 1])) --end;
    path = path.Left(end);
  }
  return kind;
}

bool MakePathRelative(CString& path) {
  CString folder;
  if (!GetColorDirectory(folder)) return false;
  CheckPath(folder, true, true);
  CString copy = path;
  int kind = CheckPath(copy, true, true);
  if (kind == PathInvalid) return false;
  if (kind != PathAbsolute) return true;
  int n = folder.GetLength();
  // Only a path inside the folder: a sibling whose name merely begins with the folder's name stays
  // absolute.
  if (n > 0 && copy.GetLength() > n && copy[n] == '\\' &&
      CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, copy, n, folder, n) == CSTR_EQUAL)
    copy = copy.Mid(n + 1);
  path = copy;
  return true;
}

bool MakePathAbsolute(CString& path) {
  CString copy = path;
  int kind = CheckPath(copy, false, false);
  if (kind == PathInvalid) return false;
  if (kind == PathAbsolute) return true;
  CString folder;
  if (!GetColorDirectory(folder) || folder.IsEmpty()) return false;
  path = AppendBackslash(folder) + path;
  return true;
}

CString GetModuleFolder() {
  char name[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, name, MAX_PATH);
  CString path(name);
  int at = path.ReverseFind('\\');
  return at < 0 ? CString() : path.Left(at);
}

bool MakeFullPath(CString& path) {
  DWORD size = MAX_PATH;
  for (int attempt = 0; attempt < 8; ++attempt) {
    CString full;
    DWORD n = GetFullPathNameA(path, size, full.GetBuffer(static_cast<int>(size)), nullptr);
    if (n == 0) {
      full.ReleaseBuffer(0);
      return false;
    }
    if (n < size) {
      full.ReleaseBuffer(static_cast<int>(n));
      path = full;
      return true;
    }
    full.ReleaseBuffer(0);
    size = n + 1;
  }
  return false;
}

namespace {

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM parameter, LPARAM data) {
  if (message == BFFM_INITIALIZED) {
    const char* initial = reinterpret_cast<const char*>(data);
    if (initial && *initial)
      SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(initial));
  } else if (message == BFFM_SELCHANGED) {
    char selected[MAX_PATH] = {};
    if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(parameter), selected))
      SendMessageA(window, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(selected));
  }
  return 0;
}

}  // namespace

bool BrowseForFolder(HWND owner, CString& result, const char* initialFolder, const char* title) {
  char display[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.pszDisplayName = display;
  info.lpszTitle = title;
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(initialFolder);
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  if (!chosen) return false;
  char path[MAX_PATH] = {};
  bool ok = SHGetPathFromIDListA(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  if (ok) result = path;
  return ok;
}

CString BrowseForFolderOrDefault(HWND owner, const char* initialFolder, const char* title) {
  CString result;
  if (BrowseForFolder(owner, result, initialFolder, title)) return result;
  return CString(initialFolder);
}
