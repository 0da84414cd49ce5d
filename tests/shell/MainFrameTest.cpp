// The main frame: File commands routed to the job, the exit question, the busy state, command
// routing, the private messages and the key filter.
#include "ShellTestSupport.h"

#include "BusyIndicator.h"
#include "ChildFrame.h"
#include "EventSink.h"
#include "IdleTimeEvent.h"
#include "MainFrame_Image.h"
#include "SplashWnd.h"
#include "TheDocument.h"

#include "resource.h"

#include <string>

namespace {

class MainFrameTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    prompts.FailWhenEmpty(true);
  }
  void Command(UINT id) { Frame()->SendMessage(WM_COMMAND, id); }
  bool Enabled(UINT id) {
    struct Probe : CCmdUI {
      BOOL enabled = TRUE;
      void Enable(BOOL on) override { enabled = on; }
    } probe;
    probe.m_nID = id;
    probe.DoUpdate(Frame(), TRUE);
    return probe.enabled != FALSE;
  }
  CTheDocument* Document() { return TestApp().GetDocument(); }

  CScriptedPrompt prompts;
};

TEST_F(MainFrameTest, FileCommandsRunEndToEndFromTheMenu) {
  ASSERT_TRUE(Start());
  const std::string first = scratch + "\\one.plj";
  const std::string second = scratch + "\\two.plj";
  CFileDialogScript dialogs;

  dialogs.Answer(first.c_str());
  Command(ID_FILE_SAVE_AS);
  EXPECT_EQ(Title(), "Pellorin - " + first);
  EXPECT_NE(GetFileAttributesA(first.c_str()), INVALID_FILE_ATTRIBUTES);

  Document()->SetDirty(true);
  Command(ID_FILE_SAVE);
  EXPECT_FALSE(Document()->IsDirty());

  dialogs.Answer(second.c_str());
  Command(ID_FILE_SAVE_AS);
  EXPECT_EQ(Title(), "Pellorin - " + second);

  Command(ID_FILE_CLOSE);
  EXPECT_FALSE(Document()->IsOpen());
  EXPECT_EQ(Title(), "Pellorin");
  EXPECT_FALSE(Enabled(ID_FILE_SAVE));

  dialogs.Answer(first.c_str());
  Command(ID_FILE_OPEN);
  EXPECT_TRUE(Document()->IsOpen());
  EXPECT_EQ(Title(), "Pellorin - " + first);
  EXPECT_TRUE(Enabled(ID_FILE_SAVE));

  Command(ID_FILE_CLOSE_COMPACT);
  EXPECT_FALSE(Document()->IsOpen());
  EXPECT_NE(GetFileAttributesA(first.c_str()), INVALID_FILE_ATTRIBUTES);

  Command(ID_FILE_NEW);
  EXPECT_TRUE(Document()->IsOpen());
  EXPECT_EQ(Title(), "Pellorin - <untitled>");

  // The recent-file list opens through the application's open-by-path entry.
  EXPECT_EQ(TestApp().OpenDocumentFile(second.c_str()), Document());
  EXPECT_EQ(Title(), "Pellorin - " + second);
  EXPECT_TRUE(prompts.GetShown().empty());
}

TEST_F(MainFrameTest, ClosingAChangedJobAsksAndCancelKeepsTheProgramRunning) {
  ASSERT_TRUE(Start());
  Document()->SetDirty(true);

  prompts.Answer(IDCANCEL);
  EXPECT_FALSE(CloseMainWindow());
  ASSERT_EQ(prompts.GetShown().size(), 1u);
  EXPECT_EQ(prompts.GetShown()[0].stringId, static_cast<UINT>(IDS_SAVE_JOB_QUESTION));
  EXPECT_STREQ(prompts.GetShown()[0].text, "Job file has not been saved. Save it now?");
  EXPECT_EQ(prompts.GetShown()[0].flags & 0x0F, static_cast<UINT>(MB_YESNOCANCEL));
  EXPECT_TRUE(Document()->IsOpen());
  EXPECT_TRUE(Document()->IsDirty());

  prompts.Answer(IDNO);
  EXPECT_TRUE(CloseMainWindow());
  EXPECT_EQ(prompts.GetShown().size(), 2u);
}

TEST_F(MainFrameTest, WhileBusyTheMenusCloseAndScreenAreGreyed) {
  ASSERT_TRUE(Start());
  HWND hwnd = Frame()->m_hWnd;
  HMENU menu = ::GetMenu(hwnd);
  {
    CBusyIndicator busy("", 0, FALSE, FALSE);
    EXPECT_TRUE(Frame()->IsBusy());
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
      EXPECT_TRUE(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) << i;
    EXPECT_TRUE(GetMenuState(::GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(Frame()->GetActiveScreen()->IsWindowEnabled());
  }
  EXPECT_FALSE(Frame()->IsBusy());
  EXPECT_FALSE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_FALSE(GetMenuState(::GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(Frame()->GetActiveScreen()->IsWindowEnabled());

  // A busy job (an import runs): Exit is greyed and a close request is ignored.
  Document()->SetBusy(true);
  EXPECT_FALSE(Enabled(ID_APP_EXIT));
  EXPECT_FALSE(CloseMainWindow());
  EXPECT_TRUE(::IsWindow(hwnd));
  Document()->SetBusy(false);
  EXPECT_TRUE(Enabled(ID_APP_EXIT));
  EXPECT_TRUE(CloseMainWindow());
}

class CRecordingWnd : public CWnd {
 public:
  int received = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == BrisantBitmapMessage) ++received;
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

TEST_F(MainFrameTest, PushedBitmapMessagesReachEveryDescendant) {
  ASSERT_TRUE(Start());
  ASSERT_NE(BrisantBitmapMessage, 0u);
  CRecordingWnd outer, inner;
  ASSERT_TRUE(outer.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD, CRect(0, 0, 10, 10),
                             Frame()->GetActiveScreen(), 100));
  ASSERT_TRUE(inner.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD, CRect(0, 0, 5, 5), &outer, 101));
  EXPECT_EQ(Frame()->SendMessage(BrisantBitmapMessage, 1, 2), 0);
  EXPECT_EQ(outer.received, 1);
  EXPECT_EQ(inner.received, 1);
  inner.DestroyWindow();
  outer.DestroyWindow();
}

TEST_F(MainFrameTest, CharactersReachOnlyWindowsThatTakeThem) {
  ASSERT_TRUE(Start());
  CWnd* screen = Frame()->GetActiveScreen();
  screen->SetFocus();
  MSG toScreen = {screen->m_hWnd, WM_CHAR, 'a', 1};
  EXPECT_TRUE(Frame()->PreTranslateMessage(&toScreen));

  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), screen, 200));
  edit.SetFocus();
  MSG toEdit = {edit.m_hWnd, WM_CHAR, 'a', 1};
  EXPECT_FALSE(Frame()->PreTranslateMessage(&toEdit));
  edit.DestroyWindow();
}

TEST_F(MainFrameTest, TheManualCommandNamesTheProgramFolderWhenTheFileIsMissing) {
  ASSERT_TRUE(Start());
  ASSERT_EQ(GetFileAttributesA(Frame()->GetManualPath()), INVALID_FILE_ATTRIBUTES);
  prompts.Answer(IDOK);
  Command(ID_HELP_MANUAL);
  ASSERT_EQ(prompts.GetShown().size(), 1u);
  EXPECT_EQ(prompts.GetShown()[0].stringId, static_cast<UINT>(IDS_MANUAL_MISSING));
  const CString folder = Frame()->GetProgramFolder();
  EXPECT_EQ(folder.Right(1), "\\");
  EXPECT_STREQ(
      prompts.GetShown()[0].text,
      CString("Cannot find the user manual file. Please download it from our web site and copy it to:\n\n") +
          folder);
  EXPECT_TRUE(prompts.GetShown()[0].flags & MB_ICONEXCLAMATION);
}

TEST_F(MainFrameTest, IdleTimeKeepsTheTimerOnlyWhileASinkAsksForMore) {
  ASSERT_TRUE(Start());
  struct Greedy : EventSink {
    int calls = 0;
    int OnEvent(EventSource*, Event* event) override {
      if (auto* idle = dynamic_cast<IdleTimeEvent*>(event)) idle->moreTime = ++calls < 3;
      return 0;
    }
  } greedy;
  TestApp().Subscribe(&greedy);
  EXPECT_TRUE(TestApp().OnIdle(0));
  EXPECT_NE(Frame()->GetIdleTimerId(), 0u);
  Frame()->SendMessage(WM_TIMER, CWinThread::kIdleTimerId);
  EXPECT_NE(Frame()->GetIdleTimerId(), 0u);
  Frame()->SendMessage(WM_TIMER, CWinThread::kIdleTimerId);
  EXPECT_EQ(Frame()->GetIdleTimerId(), 0u);
  EXPECT_FALSE(TestApp().OnIdle(0));
  TestApp().Unsubscribe(&greedy);
}

TEST_F(MainFrameTest, CommandsGoToTheFrameThenTheApplicationThenTheScreenAndItsJob) {
  ASSERT_TRUE(Start());
  struct Case {
    UINT id;
    int code;
    CCmdTarget* expected;
  };
  const Case cases[] = {
      {ID_APP_ABOUT, CN_COMMAND, Frame()},
      {ID_APP_EXIT, static_cast<int>(CN_UPDATE_COMMAND_UI), Frame()},
      {ID_APP_EXIT, CN_COMMAND, &TestApp()},
      {ID_FILE_MRU_FILE1, static_cast<int>(CN_UPDATE_COMMAND_UI), &TestApp()},
      {ID_FILE_SAVE, CN_COMMAND, Document()},
      {ID_FILE_CLOSE_COMPACT, CN_COMMAND, Document()},
      {ID_COLOR_MANAGEMENT, CN_COMMAND, Frame()},
  };
  for (const Case& c : cases) {
    AFX_CMDHANDLERINFO info = {};
    EXPECT_TRUE(Frame()->OnCmdMsg(c.id, c.code, nullptr, &info)) << c.id;
    EXPECT_EQ(info.pTarget, c.expected) << c.id;
  }
}

void CALLBACK PressKeyOnSplash(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (CSplashWnd* splash = CSplashWnd::GetSplash()) splash->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(MainFrameTest, TheAboutBoxIsTheSplashOwnedByTheMainWindowUntilAKey) {
  ASSERT_TRUE(Start());
  HWND owner = nullptr;
  struct Watch {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
      if (CSplashWnd* splash = CSplashWnd::GetSplash()) *owner() = ::GetWindow(splash->m_hWnd, GW_OWNER);
    }
    static HWND* owner() {
      static HWND value = nullptr;
      return &value;
    }
  };
  UINT_PTR watch = SetTimer(nullptr, 0, 20, &Watch::Tick);
  SetTimer(nullptr, 0, 200, &PressKeyOnSplash);
  Command(ID_APP_ABOUT);
  KillTimer(nullptr, watch);
  owner = *Watch::owner();
  EXPECT_EQ(CSplashWnd::GetSplash(), nullptr);
  EXPECT_EQ(owner, Frame()->m_hWnd);
}

}  // namespace
