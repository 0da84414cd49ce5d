// Path texts: splitting, joining, checking, creating folders and keeping colour profiles relative.
// Paths are ANSI texts; a separator is "\" or "/", and for splitting also ":".
#pragma once

#include "classlib/ClassLib.h"

CString AppendBackslash(const CString& path);
CString GetFolderPart(const CString& path);
CString GetFileNamePart(const CString& path);
CString GetFileTitlePart(const CString& path);
CString GetExtensionPart(const CString& path);
CString CombinePath(const CString& folder, const CString& name);

// Creates every missing folder along the path; false when one cannot be made.
bool CreateFolderPath(const CString& path);

enum PathKind { PathInvalid = 0, PathRelative = 1, PathAbsolute = -1 };
// 1 relative, -1 absolute, 0 invalid (last error ERROR_INVALID_NAME). With normalise "/" becomes
// "\" and doubled separators collapse; with stripTrailing trailing separators go.
int CheckPath(CString& path, bool normalise, bool stripTrailing);

// Profile files inside the system's colour folder are kept relative to it.
bool MakePathRelative(CString& path);
bool MakePathAbsolute(CString& path);

CString GetModuleFolder();
bool MakeFullPath(CString& path);

bool BrowseForFolder(HWND owner, CString& result, const char* initialFolder, const char* title);
CString BrowseForFolderOrDefault(HWND owner, const char* initialFolder, const char* title);
