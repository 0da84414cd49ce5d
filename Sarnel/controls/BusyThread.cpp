#include "BusyThread.h"

#include "resource.h"

CBusyThread::CBusyThread() : ready(FALSE, TRUE) {
  // The indicator deletes the thread object after joining the thread.
  m_bAutoDelete = FALSE;
}

BOOL CBusyThread::InitInstance() {
  m_pMainWnd = nullptr;
  // No parent and no owner: the dialog is never disabled or hidden with the main window.
  if (!dialog.Create(IDD_BUSY, nullptr)) return FALSE;
  ready.SetEvent();
  return TRUE;
}

int CBusyThread::ExitInstance() {
  if (dialog.GetSafeHwnd() != nullptr && ::IsWindow(dialog.GetSafeHwnd())) dialog.DestroyWindow();
  CWinThread::ExitInstance();
  return 0;
}
