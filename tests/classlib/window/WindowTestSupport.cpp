#include "WindowTestSupport.h"

#include "MessagePump.h"

#include "WindowTestIds.h"

namespace {
CTestApp g_testApp;
}

CTestApp& TestApp() { return g_testApp; }

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
  ON_COMMAND(ID_TEST_APPCMD, &CTestApp::OnTestAppCommand)
END_MESSAGE_MAP()

void CTestApp::OnTestAppCommand() { commands.push_back(ID_TEST_APPCMD); }

BOOL CTestApp::OnIdle(LONG lCount) {
  BOOL base = CWinApp::OnIdle(lCount);
  if (!recordIdle) return base;
  idleCounts.push_back(lCount);
  if (onIdle) onIdle(lCount);
  return lCount < idleStopAt ? TRUE : FALSE;
}

BOOL CTestApp::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_CHAR) keys.push_back(*pMsg);
  return CWinApp::PreTranslateMessage(pMsg);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  return testsupport::PumpUntil(TestApp(), done, timeoutMs);
}

void PumpPending(DWORD ms) { testsupport::PumpPending(TestApp(), ms); }
