// The application's loop and threads: idle processing, the idle timer, worker and
// user-interface threads, a wait that pumps messages, the recent-file list, popup menus.
#include <gtest/gtest.h>

#include "WindowTestSupport.h"

#include <atomic>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

class CTimerWnd : public CWnd {
 protected:
  afx_msg void OnTimer(UINT_PTR id) {
    g_log.push_back(id == CWinThread::kIdleTimerId ? "idle-timer" : "timer");
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTimerWnd, CWnd)
  ON_WM_TIMER()
END_MESSAGE_MAP()

void CALLBACK ThreadTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_log.push_back("input");
}

TEST(AppLoop, IdleCountsRiseUntilFalseAndRestartAfterInputButNotAfterTheIdleTimer) {
  CTimerWnd main;
  ASSERT_TRUE(main.CreateEx(0, nullptr, "main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  CTestApp& app = TestApp();
  app.m_pMainWnd = &main;
  g_log.clear();
  int bursts = 0;
  app.idleStopAt = 2;
  app.onIdle = [&](LONG count) {
    g_log.push_back(std::to_string(count));
    if (count != 2) return;
    if (++bursts == 1) {
      // The frame's idle timer must not wake idle processing; real input must.
      main.PostMessage(WM_TIMER, CWinThread::kIdleTimerId, 0);
      SetTimer(nullptr, 0, 100, &ThreadTimer);
    } else {
      PostQuitMessage(7);
    }
  };
  app.recordIdle = true;
  int result = app.Run();
  app.recordIdle = false;
  app.onIdle = nullptr;
  app.m_pMainWnd = nullptr;
  EXPECT_EQ(result, 7);
  EXPECT_EQ(g_log, (std::vector<std::string>{"0", "1", "2", "idle-timer", "input", "0", "1", "2"}));
  main.DestroyWindow();
}

class CCountingWnd : public CWnd {
 public:
  std::atomic<int> received{0};
  HANDLE ack = nullptr;
  int expected = 0;

 protected:
  afx_msg LRESULT OnWork(WPARAM, LPARAM) {
    if (++received == expected) SetEvent(ack);
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

const UINT WM_WORK = WM_APP + 20;

BEGIN_MESSAGE_MAP(CCountingWnd, CWnd)
  ON_MESSAGE(WM_WORK, &CCountingWnd::OnWork)
END_MESSAGE_MAP()

struct WorkerArgs {
  HWND target;
  HANDLE ack;
};

UINT PostingWorker(LPVOID param) {
  auto* args = static_cast<WorkerArgs*>(param);
  for (int i = 0; i < 5; ++i) PostMessageA(args->target, WM_WORK, static_cast<WPARAM>(i), 0);
  // Finishes only once the window has seen every message, which needs the UI thread to pump.
  return WaitForSingleObject(args->ack, 10000) == WAIT_OBJECT_0 ? 0 : 1;
}

TEST(AppLoop, AWorkerPostsToAWindowWhileTheUiThreadWaitsPumping) {
  CCountingWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "target", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  wnd.ack = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  wnd.expected = 5;
  WorkerArgs args{wnd.m_hWnd, wnd.ack};
  CWinThread* worker = AfxBeginThread(&PostingWorker, &args, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(worker, nullptr);
  HANDLE thread = nullptr;
  DuplicateHandle(GetCurrentProcess(), worker->m_hThread, GetCurrentProcess(), &thread, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  worker->ResumeThread();  // it deletes itself when done
  EXPECT_EQ(AfxWaitPumpingMessages(1, &thread, 10000), WAIT_OBJECT_0);
  DWORD exitCode = 99;
  GetExitCodeThread(thread, &exitCode);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(wnd.received.load(), 5);
  CloseHandle(thread);
  CloseHandle(wnd.ack);
  wnd.DestroyWindow();
}

TEST(AppLoop, AWaitThatPumpsHandlesAMessageThatWasSeenButNotTakenBeforeIt) {
  CCountingWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "target", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  wnd.ack = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  wnd.expected = 1;
  wnd.PostMessage(WM_WORK, 0, 0);
  // A look at the queue that leaves the message there, as a timer's pending tick is left.
  MSG peek;
  ASSERT_TRUE(PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
  // Only handling the message sets the event: a wait that slept through it would end at its time-out.
  EXPECT_EQ(AfxWaitPumpingMessages(1, &wnd.ack, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(wnd.received.load(), 1);
  CloseHandle(wnd.ack);
  wnd.DestroyWindow();
}

std::atomic<bool> g_uiThreadDeleted{false};
std::atomic<HWND> g_uiThreadWindow{nullptr};

class CUiThread : public CWinThread {
  DECLARE_DYNCREATE(CUiThread)

 public:
  ~CUiThread() override { g_uiThreadDeleted = true; }
  BOOL InitInstance() override {
    auto* wnd = new CWnd;
    if (!wnd->CreateEx(0, nullptr, "busy", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr)) return FALSE;
    m_pMainWnd = wnd;
    g_uiThreadWindow = wnd->m_hWnd;
    return TRUE;
  }
  int ExitInstance() override {
    delete m_pMainWnd;
    m_pMainWnd = nullptr;
    return CWinThread::ExitInstance() + 100;
  }
};

IMPLEMENT_DYNCREATE(CUiThread, CWinThread)

TEST(AppLoop, AUserInterfaceThreadRunsItsLoopAndDeletesItself) {
  g_uiThreadDeleted = false;
  g_uiThreadWindow = nullptr;
  CWinThread* pThread = AfxBeginThread(RUNTIME_CLASS(CUiThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(pThread, nullptr);
  HANDLE thread = nullptr;
  DuplicateHandle(GetCurrentProcess(), pThread->m_hThread, GetCurrentProcess(), &thread, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  pThread->ResumeThread();
  ASSERT_TRUE(PumpUntil([] { return g_uiThreadWindow.load() != nullptr; }));
  EXPECT_EQ(CWnd::FromHandlePermanent(g_uiThreadWindow), nullptr) << "handle maps are per thread";
  // Destroying its main window ends the thread's loop.
  PostMessageA(g_uiThreadWindow, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  GetExitCodeThread(thread, &exitCode);
  EXPECT_EQ(exitCode, 100u);
  EXPECT_TRUE(g_uiThreadDeleted);
  CloseHandle(thread);
}

TEST(AppLoop, TheRecentFileListKeepsFourMostRecentFirst) {
  CString root;
  root.Format("Software\\ClassLibWindowTests%lu", GetCurrentProcessId());
  CProfile::OverrideRoot(root);
  CTestApp& app = TestApp();
  app.SetRegistryKey("Corvanith");
  app.LoadStdProfileSettings(4);
  ASSERT_NE(app.m_pRecentFileList, nullptr);
  for (const char* name :
       {"C:\\jobs\\a.job", "C:\\jobs\\b.job", "C:\\jobs\\c.job", "C:\\jobs\\d.job", "C:\\jobs\\e.job"})
    app.AddToRecentFileList(name);
  app.AddToRecentFileList("c:\\JOBS\\c.job");  // already there: moves to the top
  CRecentFileList& list = *app.m_pRecentFileList;
  ASSERT_EQ(list.GetSize(), 4);
  EXPECT_EQ(list[0].CompareNoCase("C:\\jobs\\c.job"), 0);
  EXPECT_EQ(list[1], "C:\\jobs\\e.job");
  EXPECT_EQ(list[2], "C:\\jobs\\d.job");
  EXPECT_EQ(list[3], "C:\\jobs\\b.job");

  app.SaveStdProfileSettings();
  EXPECT_EQ(app.GetProfileString("Recent File List", "File2"), "C:\\jobs\\e.job");
  EXPECT_EQ(app.GetProfileString("Recent File List", "File4"), "C:\\jobs\\b.job");
  CRecentFileList reread(ID_FILE_MRU_FILE1, "Recent File List", "File%d", 4);
  reread.ReadList();
  EXPECT_EQ(reread[1], "C:\\jobs\\e.job");

  // The menu shows the files in place of the placeholder.
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, ID_FILE_MRU_FILE1, "Recent File");
  menu.AppendMenu(MF_STRING, ID_APP_EXIT, "Exit");
  CCmdUI state;
  state.m_pMenu = &menu;
  state.m_nID = ID_FILE_MRU_FILE1;
  state.m_nIndex = 0;
  list.UpdateMenu(&state);
  EXPECT_EQ(menu.GetMenuItemCount(), 5);
  CString first;
  menu.GetMenuString(0, first, MF_BYPOSITION);
  EXPECT_EQ(first.Left(3), "&1 ");
  EXPECT_EQ(menu.GetMenuItemID(3), static_cast<UINT>(ID_FILE_MRU_FILE4));

  delete app.m_pRecentFileList;
  app.m_pRecentFileList = nullptr;
  RegDeleteTreeA(HKEY_CURRENT_USER, root);
  CProfile::OverrideRoot(nullptr);
}

TEST(AppLoop, PopupMenusGoThroughTheScriptableSeam) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 11, "First");
  menu.AppendMenu(MF_STRING | MF_CHECKED, 12, "Second");
  CPopupMenuScript script;
  script.Choose(12).Choose(0);
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD | TPM_NONOTIFY, 5, 6, &owner), 12);
  EXPECT_EQ(AfxTrackPopupMenu(menu.m_hMenu, TPM_RETURNCMD, 0, 0, owner.m_hWnd), 0) << "dismissed";
  auto shown = script.GetShown();
  ASSERT_EQ(shown.size(), 2u);
  ASSERT_EQ(shown[0].items.size(), 2u);
  EXPECT_EQ(shown[0].items[1].text, "Second");
  EXPECT_NE(shown[0].items[1].nState & MF_CHECKED, 0u);
  EXPECT_EQ(shown[0].point.x, 5);
  owner.DestroyWindow();
}

}  // namespace
