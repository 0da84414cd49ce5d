// CCriticalSection: a process-local recursive lock (no kernel handle, so not for CMultiLock).
#pragma once

#include "classlib/SyncObject.h"

class CCriticalSection : public CSyncObject {
 public:
  CCriticalSection() { InitializeCriticalSection(&m_sect); }
  ~CCriticalSection() override { DeleteCriticalSection(&m_sect); }

  operator CRITICAL_SECTION*() { return &m_sect; }  // NOLINT(google-explicit-constructor)
  BOOL Lock() {
    EnterCriticalSection(&m_sect);
    return TRUE;
  }
  // A critical section cannot time out; any time-out waits until it is free.
  BOOL Lock(DWORD /*timeout*/) override { return Lock(); }
  BOOL Unlock() override {
    LeaveCriticalSection(&m_sect);
    return TRUE;
  }

  CRITICAL_SECTION m_sect;
};
