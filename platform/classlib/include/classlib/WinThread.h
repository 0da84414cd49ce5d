// CWinThread: a thread with an optional message loop. A worker overrides Run (and returns TRUE
// from InitInstance) or is started with a thread function; a user-interface thread creates its
// window in InitInstance and runs the base loop. With m_bAutoDelete the object deletes itself
// after ExitInstance.
#pragma once

#include "classlib/CmdTarget.h"

class CWnd;

typedef UINT(AFX_CDECL* AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)

 public:
  CWinThread();
  CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
  ~CWinThread() override;

  CWnd* m_pMainWnd = nullptr;
  CWnd* m_pActiveWnd = nullptr;
  BOOL m_bAutoDelete = TRUE;
  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;
  MSG m_msgCur = {};  // the message being handled by PumpMessage

  operator HANDLE() const { return m_hThread; }  // NOLINT(google-explicit-constructor)
  // Starts the thread with _beginthreadex; CREATE_SUSPENDED leaves it waiting for ResumeThread.
  BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                    LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
  int GetThreadPriority() { return ::GetThreadPriority(m_hThread); }
  BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
  DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
  DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
  BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostThreadMessageA(m_nThreadID, message, wParam, lParam);
  }

  virtual BOOL InitInstance();
  virtual int Run();
  virtual int ExitInstance();
  // The pre-translation chain: thread messages to this object's map, then the message's window
  // and its parents up to the top-level window, then the main window for other top-level windows.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Gets and dispatches one message; FALSE on WM_QUIT.
  virtual BOOL PumpMessage();
  // Count 0 updates the user interface of the main window; count 1 releases temporary wrappers.
  // Returns TRUE while more idle calls are wanted.
  virtual BOOL OnIdle(LONG lCount);
  // FALSE for messages that should not restart idle processing: repeated mouse moves, paints,
  // the caret timer and the main frame's idle timer (WM_TIMER id 0xFFFFFFFF).
  virtual BOOL IsIdleMessage(MSG* pMsg);
  virtual void Delete();
  virtual CWnd* GetMainWnd() { return m_pActiveWnd != nullptr ? m_pActiveWnd : m_pMainWnd; }

  // The main-frame idle timer id, ignored by IsIdleMessage.
  static constexpr UINT_PTR kIdleTimerId = 0xFFFFFFFF;

 protected:
  AFX_THREADPROC m_pfnThreadProc = nullptr;
  LPVOID m_pThreadParams = nullptr;
  POINT m_ptCursorLast = {-1, -1};
  UINT m_nMsgLast = 0;

  friend unsigned __stdcall AfxThreadEntry(void* pParam);
};

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// The CWinThread of the calling thread (the application on the main thread); null for threads
// the layer did not start.
CWinThread* AfxGetThread();
// For checks: how many temporary wrappers (windows, DCs, menus, GDI objects) the calling thread holds.
size_t AfxGetTempWrapperCount();
// Gets and dispatches one message through the calling thread's CWinThread (or the plain chain
// when it has none). FALSE on WM_QUIT, which it leaves for the caller to post again.
BOOL AfxPumpMessage();
void AfxPostQuitMessage(int nExitCode);

// Waits for any of the handles (or until the timeout) while dispatching this thread's
// messages, so windows stay responsive. Returns WAIT_OBJECT_0 + index, WAIT_TIMEOUT, or
// WAIT_ABANDONED_0 + count when WM_QUIT arrived (which is posted again for the outer loop).
DWORD AfxWaitPumpingMessages(DWORD nCount, const HANDLE* pHandles, DWORD dwTimeout);
