// CSemaphore: a counted semaphore.
#pragma once

#include "classlib/SyncObject.h"

class CSemaphore : public CSyncObject {
 public:
  explicit CSemaphore(LONG initialCount = 1, LONG maxCount = 1, LPCTSTR name = nullptr,
                      LPSECURITY_ATTRIBUTES security = nullptr);

  BOOL Unlock() override { return Unlock(1, nullptr); }
  BOOL Unlock(LONG count, LPLONG previousCount = nullptr) override {
    return ::ReleaseSemaphore(m_hObject, count, previousCount);
  }
};
