// While one lives, the next window created on this thread is attached to the given object and
// subclassed before it receives its first message.
#pragma once

class CWnd;

class CWndCreateHook {
 public:
  explicit CWndCreateHook(CWnd* pWnd);
  ~CWndCreateHook();
  CWndCreateHook(const CWndCreateHook&) = delete;
  CWndCreateHook& operator=(const CWndCreateHook&) = delete;
};
