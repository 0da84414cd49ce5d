// CMutex: a kernel mutex, optionally named.
#pragma once

#include "classlib/SyncObject.h"

class CMutex : public CSyncObject {
 public:
  explicit CMutex(BOOL initiallyOwned = FALSE, LPCTSTR name = nullptr,
                  LPSECURITY_ATTRIBUTES security = nullptr);

  BOOL Unlock() override { return ::ReleaseMutex(m_hObject); }
};
