// The test program's application object and helpers shared by the window-layer tests.
#pragma once

#include "classlib/ClassLib.h"

#include <functional>
#include <vector>

// The one application object of the test program. Tests switch its recording on and off.
class CTestApp : public CWinApp {
 public:
  CTestApp() : CWinApp("ClassLib Window Tests") {}

  BOOL OnIdle(LONG lCount) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // Idle recording: the counts seen, and the count at which OnIdle says "no more".
  std::vector<LONG> idleCounts;
  LONG idleStopAt = 2;
  bool recordIdle = false;
  std::function<void(LONG)> onIdle;  // runs inside OnIdle while recording

  // Keystrokes (WM_KEYDOWN/WM_CHAR) the application's pre-translation saw.
  std::vector<MSG> keys;

  // Commands that reached the application.
  std::vector<UINT> commands;
  afx_msg void OnTestAppCommand();

  DECLARE_MESSAGE_MAP()
};

CTestApp& TestApp();

// Dispatches this thread's messages until done() holds or the time runs out; false on time-out.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Dispatches what is waiting now (and what that causes) for a short while.
void PumpPending(DWORD ms = 50);
