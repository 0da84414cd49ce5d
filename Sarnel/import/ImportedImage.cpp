#include "ImportedImage.h"

CString ImportFileText(const CString& path, bool reference, bool keepPath) {
  if (reference && keepPath) return path;
  int start = 0;
  for (int i = 0; i < path.GetLength(); ++i)
    if (path[i] == '/' || path[i] == ':' || path[i] == '\\') start = i + 1;
  CString name = path.Mid(start);
  if (reference) return name;
  const int dot = name.ReverseFind('.');
  return dot >= 0 ? name.Left(dot) : name;
}
