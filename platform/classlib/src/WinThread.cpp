#include "classlib/App.h"

#include "classlib/Wnd.h"
#include "ThreadState.h"

#include <process.h>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread() = default;

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam) {}

CWinThread::~CWinThread() {
  if (m_hThread != nullptr) ::CloseHandle(m_hThread);
  AfxThreadState& state = AfxGetThreadState();
  if (state.pThread == this) state.pThread = nullptr;
}

unsigned __stdcall AfxThreadEntry(void* pParam) {
  auto* pThread = static_cast<CWinThread*>(pParam);
  AfxGetThreadState().pThread = pThread;
  int result = -1;
  try {
    if (pThread->m_pfnThreadProc != nullptr) {
      result = static_cast<int>(pThread->m_pfnThreadProc(pThread->m_pThreadParams));
    } else if (!pThread->InitInstance()) {
      result = pThread->ExitInstance();
    } else {
      result = pThread->Run();
    }
  } catch (...) {
    AfxReportCaughtException();
  }
  AfxGetThreadState().pThread = nullptr;
  try {
    pThread->Delete();
  } catch (...) {
    AfxReportCaughtException();
  }
  AfxFreeThreadState();
  return static_cast<unsigned>(result);
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  unsigned threadId = 0;
  uintptr_t handle =
      _beginthreadex(lpSecurityAttrs, nStackSize, &AfxThreadEntry, this,
                     (dwCreateFlags | CREATE_SUSPENDED) & ~STACK_SIZE_PARAM_IS_A_RESERVATION, &threadId);
  if (handle == 0) return FALSE;
  m_hThread = reinterpret_cast<HANDLE>(handle);
  m_nThreadID = threadId;
  if ((dwCreateFlags & CREATE_SUSPENDED) == 0) ::ResumeThread(m_hThread);
  return TRUE;
}

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

void CWinThread::Delete() {
  if (m_bAutoDelete) delete this;
}

int CWinThread::Run() {
  BOOL idle = TRUE;
  LONG idleCount = 0;
  for (;;) {
    MSG peek;
    while (idle && !::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = FALSE;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      if (IsIdleMessage(&m_msgCur)) {
        idle = TRUE;
        idleCount = 0;
      }
    } while (::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
  }
}

BOOL CWinThread::PumpMessage() {
  if (!::GetMessageA(&m_msgCur, nullptr, 0, 0)) return FALSE;
  if (m_msgCur.message != WM_KICKIDLE && !PreTranslateMessage(&m_msgCur)) {
    ::TranslateMessage(&m_msgCur);
    ::DispatchMessageA(&m_msgCur);
  }
  return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->hwnd == nullptr && DispatchThreadMessage(pMsg)) return TRUE;
  CWnd* pMainWnd = GetMainWnd();
  if (CWnd::WalkPreTranslateTree(AfxSafeHwnd(pMainWnd), pMsg)) return TRUE;
  if (pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr && pMsg->hwnd != nullptr) {
    CWnd* pWnd = CWnd::FromHandle(pMsg->hwnd);
    if (pWnd->GetTopLevelParent() != pMainWnd) return pMainWnd->PreTranslateMessage(pMsg);
  }
  return FALSE;
}

BOOL CWinThread::OnIdle(LONG lCount) {
  if (lCount <= 0) {
    CWnd* pMainWnd = m_pMainWnd;
    if (pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr && pMainWnd->IsWindowVisible()) {
      AfxCallWndProc(pMainWnd, pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
      pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    }
  } else {
    // Only the outermost loop frees the temporary wrappers: under a modal loop, a popup or a
    // pumping wait, the code that started it may still hold some.
    AfxThreadState& state = AfxGetThreadState();
    if (state.nModalDepth == 0) state.temporaries.Purge();
  }
  return lCount < 1;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg) {
  if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
    POINT pt = pMsg->pt;
    bool same = m_nMsgLast == pMsg->message && pt.x == m_ptCursorLast.x && pt.y == m_ptCursorLast.y;
    m_ptCursorLast = pt;
    m_nMsgLast = pMsg->message;
    return same ? FALSE : TRUE;
  }
  if (pMsg->message == WM_TIMER && pMsg->wParam == kIdleTimerId) return FALSE;
  return pMsg->message != WM_PAINT && pMsg->message != 0x0118 /* the caret's system timer */;
}

CWinThread* AfxGetThread() { return AfxGetThreadState().pThread; }

size_t AfxGetTempWrapperCount() { return AfxGetThreadState().temporaries.Size(); }

void AfxPostQuitMessage(int nExitCode) { ::PostQuitMessage(nExitCode); }

BOOL AfxPumpMessage() {
  CWinThread* pThread = AfxGetThread();
  if (pThread != nullptr) return pThread->PumpMessage();
  MSG msg;
  if (!::GetMessageA(&msg, nullptr, 0, 0)) {
    AfxGetThreadState().lastSentMsg = msg;
    return FALSE;
  }
  if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return TRUE;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  auto* pThread = new CWinThread(pfnThreadProc, pParam);
  if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
    delete pThread;
    return nullptr;
  }
  pThread->SetThreadPriority(nPriority);
  if ((dwCreateFlags & CREATE_SUSPENDED) == 0) pThread->ResumeThread();
  return pThread;
}

CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  auto* pThread = AfxDynamicDownCast<CWinThread>(RUNTIME_CLASS(CWinThread), pThreadClass->CreateObject());
  if (pThread == nullptr) return nullptr;
  if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
    delete pThread;
    return nullptr;
  }
  pThread->SetThreadPriority(nPriority);
  if ((dwCreateFlags & CREATE_SUSPENDED) == 0) pThread->ResumeThread();
  return pThread;
}

DWORD AfxWaitPumpingMessages(DWORD nCount, const HANDLE* pHandles, DWORD dwTimeout) {
  AfxNestedLoopScope nested;
  const ULONGLONG start = ::GetTickCount64();
  for (;;) {
    DWORD remaining = INFINITE;
    if (dwTimeout != INFINITE) {
      ULONGLONG elapsed = ::GetTickCount64() - start;
      remaining = elapsed >= dwTimeout ? 0 : static_cast<DWORD>(dwTimeout - elapsed);
    }
    // Input already in the queue counts too: a plain wait sleeps through a message (or a timer's tick)
    // that some look at the queue saw but left, until a handle ends the wait.
    DWORD result =
        ::MsgWaitForMultipleObjectsEx(nCount, pHandles, remaining, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (result < WAIT_OBJECT_0 + nCount) return result;
    if (result == WAIT_TIMEOUT || result == WAIT_FAILED) return result;
    if (result >= WAIT_ABANDONED_0 && result < WAIT_ABANDONED_0 + nCount) return result;
    MSG peek;
    while (::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
      if (peek.message == WM_QUIT) {
        ::PeekMessageA(&peek, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        ::PostQuitMessage(static_cast<int>(peek.wParam));
        return WAIT_ABANDONED_0 + nCount;
      }
      if (!AfxPumpMessage()) {
        CWinThread* pThread = AfxGetThread();
        ::PostQuitMessage(pThread != nullptr ? static_cast<int>(pThread->m_msgCur.wParam) : 0);
        return WAIT_ABANDONED_0 + nCount;
      }
    }
    // Handles signalled while we pumped are seen by the next wait at once.
  }
}
