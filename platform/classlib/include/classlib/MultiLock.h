// CMultiLock: waits for any or all of several kernel objects, optionally also for input in the
// thread's message queue (a wake mask such as QS_ALLINPUT).
#pragma once

#include "classlib/SyncObject.h"

#include <vector>

class CMultiLock {
 public:
  CMultiLock(CSyncObject* objects[], DWORD count, BOOL initialLock = FALSE);
  ~CMultiLock() { Unlock(); }
  CMultiLock(const CMultiLock&) = delete;
  CMultiLock& operator=(const CMultiLock&) = delete;

  // Returns what the wait returned: WAIT_OBJECT_0 + i (object i, or all of them when waitAll),
  // WAIT_ABANDONED_0 + i, WAIT_OBJECT_0 + count when the wake mask saw input, WAIT_TIMEOUT or
  // WAIT_FAILED.
  DWORD Lock(DWORD timeout = INFINITE, BOOL waitAll = TRUE, DWORD wakeMask = 0);
  BOOL Unlock();
  BOOL Unlock(LONG count, LPLONG previousCount = nullptr);
  BOOL IsLocked(DWORD index) const;

 private:
  std::vector<CSyncObject*> m_objects;
  std::vector<HANDLE> m_handles;
  std::vector<BOOL> m_locked;
};
