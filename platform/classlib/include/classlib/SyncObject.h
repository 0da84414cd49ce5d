// CSyncObject: a waitable kernel object owned by the wrapper.
#pragma once

#include "classlib/Base.h"

class CSyncObject {
 public:
  explicit CSyncObject(LPCTSTR /*name*/ = nullptr) {}
  virtual ~CSyncObject();
  CSyncObject(const CSyncObject&) = delete;
  CSyncObject& operator=(const CSyncObject&) = delete;

  operator HANDLE() const { return m_hObject; }  // NOLINT(google-explicit-constructor)
  // TRUE when the object was signalled (or abandoned) within the time-out.
  virtual BOOL Lock(DWORD timeout = INFINITE);
  virtual BOOL Unlock() = 0;
  virtual BOOL Unlock(LONG /*count*/, LPLONG /*previousCount*/ = nullptr) { return TRUE; }

  HANDLE m_hObject = nullptr;
};
