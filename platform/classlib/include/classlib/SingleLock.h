// CSingleLock: locks one synchronisation object and unlocks it when it goes out of scope.
#pragma once

#include "classlib/SyncObject.h"

class CSingleLock {
 public:
  explicit CSingleLock(CSyncObject* object, BOOL initialLock = FALSE);
  ~CSingleLock() { Unlock(); }
  CSingleLock(const CSingleLock&) = delete;
  CSingleLock& operator=(const CSingleLock&) = delete;

  BOOL Lock(DWORD timeout = INFINITE);
  BOOL Unlock();
  BOOL Unlock(LONG count, LPLONG previousCount = nullptr);
  BOOL IsLocked() const { return m_bAcquired; }

 private:
  CSyncObject* m_pObject;
  BOOL m_bAcquired = FALSE;
};
