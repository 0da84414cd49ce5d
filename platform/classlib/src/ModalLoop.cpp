#include "ModalLoop.h"

#include "classlib/App.h"
#include "classlib/MessageMap.h"
#include "classlib/Wnd.h"

HWND AfxFindModalOwner(const CWnd* pParentWnd) {
  HWND owner = pParentWnd->GetSafeHwnd();
  if (owner == nullptr) owner = AfxGetMainWnd()->GetSafeHwnd();
  if (owner != nullptr) owner = ::GetAncestor(owner, GA_ROOT);
  return owner;
}

BOOL AfxRunModalLoop(HWND hWndModal, const std::function<bool()>& keepRunning) {
  CWinThread* pThread = AfxGetThread();
  HWND hWndParent = ::GetWindow(hWndModal, GW_OWNER);
  BOOL idle = TRUE;
  LONG idleCount = 0;
  while (keepRunning()) {
    MSG peek;
    while (idle && keepRunning() && !::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
      if (idleCount == 0 && hWndParent != nullptr)
        ::SendMessageA(hWndParent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(hWndModal));
      BOOL more =
          ::IsWindow(hWndModal) && ::SendMessageA(hWndModal, WM_KICKIDLE, MSGF_DIALOGBOX, idleCount) != 0;
      // The application's user-interface update runs as well; temporary wrappers are not
      // released here, since the code that opened the window may still hold some.
      if (idleCount == 0 && pThread != nullptr) pThread->OnIdle(0);
      ++idleCount;
      if (!more) idle = FALSE;
    }
    if (!keepRunning()) break;
    do {
      if (!AfxPumpMessage()) {
        int exitCode = pThread != nullptr ? static_cast<int>(pThread->m_msgCur.wParam) : 0;
        ::PostQuitMessage(exitCode);
        return FALSE;
      }
      if (!keepRunning()) break;
      if (pThread == nullptr || pThread->IsIdleMessage(&pThread->m_msgCur)) {
        idle = TRUE;
        idleCount = 0;
      }
    } while (keepRunning() && ::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
  }
  return TRUE;
}
