// The application object while the program runs and as it ends: events, idle time, keyboard
// pre-translation, the open-by-path entry and the exit.
#include "SarnelEXE.h"

#include "BarcodeWedge.h"
#include "ExitingEvent.h"
#include "IdleTimeEvent.h"
#include "MainFrame_base.h"
#include "ModuleSettings.h"
#include "SplashWnd.h"
#include "IcmJobConnection.h"
#include "TheDocument.h"

int CSarnelEXE::ExitInstance() {
  DisconnectIcmJob(document);
  delete document;
  document = nullptr;
  SaveAllSettings();
  return CWinApp::ExitInstance();
}

BOOL CSarnelEXE::OnIdle(LONG lCount) {
  CWinApp::OnIdle(lCount);
  // The idle loop stops as soon as no sink wants more time, so the temporary window wrappers are
  // released on every pass rather than on a second idle call that may never come. The library
  // releases them only in the outermost loop, never under a modal loop or a popup.
  if (lCount == 0) CWinApp::OnIdle(1);
  if (auto* frame = dynamic_cast<CMainFrame_base*>(m_pMainWnd)) frame->RestartIdleTimer();
  return FireIdleTimeEvent() ? TRUE : FALSE;
}

BOOL CSarnelEXE::PreTranslateMessage(MSG* pMsg) {
  if (CSplashWnd::PreTranslateAppMessage(pMsg)) return TRUE;
  if (pMsg->message == WM_KEYDOWN && OnBarcodeEnter(static_cast<UINT>(pMsg->wParam))) return TRUE;
  if (pMsg->message == WM_CHAR && OnBarcodeChar(static_cast<UINT>(pMsg->wParam), pMsg->lParam)) return TRUE;
  return CWinApp::PreTranslateMessage(pMsg);
}

bool CSarnelEXE::OnBarcodeChar(UINT ch, LPARAM keyData) { return GetBarcodeWedge().OnChar(ch, keyData); }

bool CSarnelEXE::OnBarcodeEnter(UINT virtualKey) { return GetBarcodeWedge().OnEnter(virtualKey); }

bool CSarnelEXE::CanExit() {
  ExitingEvent event;
  FireEvent(&event);
  return !event.cancel;
}

bool CSarnelEXE::FireIdleTimeEvent() {
  IdleTimeEvent event;
  FireEvent(&event);
  return event.moreTime;
}

void CSarnelEXE::FireEvent(Event* event) { Fire(event); }

CDocument* CSarnelEXE::OpenDocumentFile(LPCTSTR lpszFileName) {
  return document != nullptr ? document->OpenDocumentFile(lpszFileName) : nullptr;
}
