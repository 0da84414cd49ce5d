// CEvent: a manual- or auto-reset event, usually held by value.
#pragma once

#include "classlib/SyncObject.h"

class CEvent : public CSyncObject {
 public:
  explicit CEvent(BOOL initiallySignalled = FALSE, BOOL manualReset = FALSE, LPCTSTR name = nullptr,
                  LPSECURITY_ATTRIBUTES security = nullptr);

  BOOL SetEvent() { return ::SetEvent(m_hObject); }
  BOOL ResetEvent() { return ::ResetEvent(m_hObject); }
  BOOL PulseEvent() { return ::PulseEvent(m_hObject); }
  BOOL Unlock() override { return TRUE; }
};
