// Pumping the test thread's messages through the application's pre-translation, as the program's
// own loop does, until a condition holds or time runs out.
#pragma once

#include "classlib/ClassLib.h"

#include <functional>

namespace testsupport {

inline bool PumpUntil(CWinApp& app, const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() > end) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;
      if (!app.PreTranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// Lets whatever is waiting run for a while.
inline void PumpPending(CWinApp& app, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  PumpUntil(
      app, [&] { return GetTickCount64() > end; }, ms + 1000);
}

}  // namespace testsupport
