#include "ModalLoop.h"

#include "classlib/App.h"
#include "classlib/MessageMap.h"
#include "classlib/Wnd.h"
#include "ThreadState.h"

HWND AfxFindModalOwner(const CWnd* pParentWnd) {
  HWND owner = AfxSafeHwnd(pParentWnd);
  if (owner == nullptr) owner = AfxSafeHwnd(AfxGetMainWnd());
  if (owner != nullptr) owner = ::GetAncestor(owner, GA_ROOT);
  return owner;
}

BOOL AfxRunModalLoop(HWND hWndModal, const std::function<bool()>& keepRunning) {
  AfxNestedLoopScope nested;
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
      // released while this loop runs (whatever count the application's OnIdle passes on),
      // since the code that opened the window may still hold some.
      if (idleCount == 0 && pThread != nullptr) pThread->OnIdle(0);
      ++idleCount;
      if (!more) idle = FALSE;
    }
    if (!keepRunning()) break;
    do {
      if (!AfxPumpMessage()) {
        // The quit goes on to the outer loop with the code it came with.
        int exitCode = static_cast<int>(pThread != nullptr ? pThread->m_msgCur.wParam
                                                           : AfxGetThreadState().lastSentMsg.wParam);
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
