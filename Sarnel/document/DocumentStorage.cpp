// How every section of the job reaches its child storages and streams.
#include "TheDocument.h"

#include "MyException.h"

IStorage* CTheDocument::OpenChildStorage(IStorage* parent, const char* name, bool create) {
  std::wstring wide = ToWideName(name);
  const DWORD mode = STGM_SHARE_EXCLUSIVE | (readOnly ? STGM_READ : STGM_READWRITE);
  IStorage* child = nullptr;
  HRESULT hr =
      parent != nullptr ? parent->OpenStorage(wide.c_str(), nullptr, mode, nullptr, 0, &child) : E_POINTER;
  if (hr == STG_E_FILENOTFOUND && create && !readOnly)
    hr = parent->CreateStorage(wide.c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, 0,
                               &child);
  if (FAILED(hr) || child == nullptr) {
    if (child != nullptr) child->Release();
    throw CMyException(FAILED(hr) ? hr : E_FAIL, "hr", DocumentFilePlace, 2032);
  }
  return child;
}

IStream* CTheDocument::OpenChildStream(IStorage* parent, const char* name, bool create) {
  std::wstring wide = ToWideName(name);
  const DWORD mode = STGM_SHARE_EXCLUSIVE | (readOnly ? STGM_READ : STGM_READWRITE);
  IStream* child = nullptr;
  HRESULT hr = parent != nullptr ? parent->OpenStream(wide.c_str(), nullptr, mode, 0, &child) : E_POINTER;
  if (hr == STG_E_FILENOTFOUND && create && !readOnly)
    hr =
        parent->CreateStream(wide.c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, 0, &child);
  if (FAILED(hr) || child == nullptr) {
    if (child != nullptr) child->Release();
    throw CMyException(FAILED(hr) ? hr : E_FAIL, "hr", DocumentFilePlace, 2055);
  }
  return child;
}
