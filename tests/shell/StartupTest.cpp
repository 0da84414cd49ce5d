// Start-up and shutdown of the program, in-process: the first job, the title, the screen check,
// the command line, the window placement.
#include "ShellTestSupport.h"

#include "ChildFrame.h"
#include "CmdLineParamEvent.h"
#include "EventSink.h"
#include "JobFileOptions.h"
#include "MainFrame_Image.h"
#include "ModuleSettings.h"
#include "TheDocument.h"
#include "WindowState.h"

#include "Archive.h"
#include "ErrorReport.h"

#include "resource.h"

#include <comdef.h>

#include <fstream>
#include <new>
#include <string>
#include <vector>

namespace {

class StartupTest : public ShellTest {};

std::vector<std::string> MenuTitles(HMENU menu) {
  std::vector<std::string> titles;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
    titles.emplace_back(text);
  }
  return titles;
}

bool HasDoubledSeparator(HMENU popup) {
  bool previous = false;
  for (int i = 0; i < GetMenuItemCount(popup); ++i) {
    bool separator = (GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0;
    if (separator && previous) return true;
    previous = separator;
  }
  return false;
}

class SwitchRecorder : public EventSink {
 public:
  std::vector<std::string> switches;
  int OnEvent(EventSource*, Event* event) override {
    if (auto* param = dynamic_cast<CmdLineParamEvent*>(event)) switches.emplace_back(param->text);
    return 0;
  }
};

TEST_F(StartupTest, APlainStartOpensANewUntitledJobInTheMainWindow) {
  ASSERT_TRUE(Start());
  CMainFrame_Image* frame = Frame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(Title(), "Pellorin - <untitled>");
  ASSERT_NE(TestApp().GetDocument(), nullptr);
  EXPECT_TRUE(TestApp().GetDocument()->IsOpen());
  EXPECT_TRUE(frame->IsWindowVisible());

  HMENU menu = ::GetMenu(frame->m_hWnd);
  ASSERT_NE(menu, nullptr);
  std::vector<std::string> titles = MenuTitles(menu);
  EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&Edit", "&Images", "Chroma &key", "&Help"}));
  HMENU file = GetSubMenu(menu, 0);
  EXPECT_EQ(GetMenuState(file, ID_FILE_SEND_TO_LAB, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_NE(GetMenuState(file, ID_FILE_CLOSE_COMPACT, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_FALSE(HasDoubledSeparator(file));

  // The screen fills what the status bar leaves, and is the active one.
  EXPECT_EQ(frame->GetCurrentScreen(), 1);
  ASSERT_NE(frame->GetActiveScreen(), nullptr);
  EXPECT_TRUE(frame->GetActiveScreen()->IsWindowVisible());
  EXPECT_EQ(frame->GetActiveScreen()->GetDlgCtrlID(), 1);
  CRect client, screen, bar;
  frame->GetClientRect(&client);
  frame->GetActiveScreen()->GetWindowRect(&screen);
  frame->GetStatusBar().GetWindowRect(&bar);
  EXPECT_EQ(screen.Width(), client.Width());
  EXPECT_EQ(screen.bottom, bar.top);
  EXPECT_NE(frame->GetDefaultAccelerator(), nullptr);

  // An unchanged job closes without a question.
  CScriptedPrompt prompts;
  prompts.FailWhenEmpty(true);
  EXPECT_TRUE(CloseMainWindow());
  EXPECT_TRUE(prompts.GetShown().empty());
}

TEST_F(StartupTest, WithFileOnNewNoJobIsOpenAndTheTitleIsThePlainName) {
  TestApp().WriteProfileInt("Settings", "FileOnNew", 1);
  ASSERT_TRUE(Start());
  EXPECT_EQ(Title(), "Pellorin");
  EXPECT_FALSE(TestApp().GetDocument()->IsOpen());
}

TEST_F(StartupTest, ATooSmallScreenRefusesAndWritesNoSettings) {
  struct Case {
    SIZE size;
    bool starts;
  };
  for (Case c : {Case{{1024, 599}, false}, Case{{799, 1024}, false}, Case{{800, 600}, true}}) {
    TearDown();
    SetUp();
    TestApp().screenSize = c.size;
    CScriptedPrompt prompts;
    prompts.FailWhenEmpty(true);
    prompts.Answer(IDOK);
    EXPECT_EQ(Start(), c.starts) << c.size.cx << "x" << c.size.cy;
    if (!c.starts) {
      ASSERT_EQ(prompts.GetShown().size(), 1u);
      EXPECT_EQ(prompts.GetShown()[0].stringId, static_cast<UINT>(IDS_SCREEN_TOO_SMALL));
      EXPECT_STREQ(prompts.GetShown()[0].text,
                   "Screen area must be at least 800x600 pixels for this application to run. You can adjust "
                   "this under display properties in Control Panel.");
      EXPECT_FALSE(ProfileValueExists("Window State", "MainPlacement"));
      EXPECT_FALSE(ProfileValueExists("Settings", "FilesPath"));
    }
  }
}

// Records a message posted to it in the same list as the switch events.
class CPostedMessageWnd : public CWnd {
 public:
  std::vector<std::string>* record = nullptr;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP + 7 && record != nullptr) record->push_back("posted before start-up");
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

TEST_F(StartupTest, SwitchesAreFiredInOrderAfterTheQueueDrains) {
  SwitchRecorder recorder;
  TestApp().Subscribe(&recorder);
  CPostedMessageWnd waiting;
  waiting.record = &recorder.switches;
  ASSERT_TRUE(waiting.CreateEx(0, nullptr, "waiting", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  waiting.PostMessage(WM_APP + 7);
  ASSERT_TRUE(Start({"/FIN12", "-FITname.jpg"}));
  EXPECT_EQ(recorder.switches, (std::vector<std::string>{"posted before start-up", "FIN12", "FITname.jpg"}));
  TestApp().Unsubscribe(&recorder);
  waiting.DestroyWindow();
}

class CFailingHandlerWnd : public CWnd {
 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP + 1) throw _com_error(static_cast<HRESULT>(0x80040300));
    if (message == WM_APP + 2) throw std::bad_alloc();
    if (message == WM_APP + 3) throw zvk::ArchiveException(zvk::ArchiveException::EndOfFile, "Job.cpp", 12);
    if (message == WM_APP + 4) throw 42;
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

TEST_F(StartupTest, FailuresThatReachAWindowShowTheProgramsTexts) {
  ASSERT_TRUE(Start());
  CScriptedPrompt prompts;
  prompts.FailWhenEmpty(true);
  CFailingHandlerWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "fails", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  for (UINT message = WM_APP + 1; message <= WM_APP + 4; ++message) wnd.SendMessage(message);
  auto shown = prompts.GetShown();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0].text, "#{00000000-0000-0000-0000-000000000000}#80040300#");
  EXPECT_EQ(shown[1].text, "bad allocation");
  EXPECT_EQ(std::string(shown[2].text),
            std::string(zvk::ArchiveException(zvk::ArchiveException::EndOfFile, "Job.cpp", 12).what()));
  char system[512] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, STG_E_UNKNOWN,
                 MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), system, sizeof(system), nullptr);
  CString unexpected;
  if (!system[0] && !unexpected.LoadString(IDS_UNEXPECTED_ERROR)) unexpected = "An unexpected error occurred";
  EXPECT_EQ(std::string(shown[3].text), system[0] ? std::string(system) : std::string(unexpected));
  for (const auto& box : shown) EXPECT_EQ(box.flags, ErrorBoxFlags);
  wnd.DestroyWindow();
}

TEST_F(StartupTest, AJobNamedOnTheCommandLineOpensAndABrokenOneIsReported) {
  // Make a job file through the program itself.
  std::string path = scratch + "\\first.plj";
  ASSERT_TRUE(Start());
  {
    CFileDialogScript dialogs;
    dialogs.Answer(path.c_str());
    Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS);
  }
  ASSERT_EQ(GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES, true);
  ASSERT_TRUE(CloseMainWindow());
  ResetProcessSettings();

  ASSERT_TRUE(Start({path}));
  EXPECT_EQ(Title(), "Pellorin - " + path);
  EXPECT_STRCASEEQ(TestApp().GetDocument()->GetJobPath(), path.c_str());
  ASSERT_TRUE(CloseMainWindow());
  ResetProcessSettings();

  // Not a job file: reported, and the operator gets a new job.
  std::string broken = scratch + "\\broken.plj";
  std::ofstream(broken) << "not a job";
  CScriptedPrompt prompts;
  prompts.FailWhenEmpty(true);
  prompts.Answer(IDOK);
  ASSERT_TRUE(Start({broken}));
  EXPECT_EQ(prompts.GetShown().size(), 1u);
  EXPECT_EQ(Title(), "Pellorin - <untitled>");
  EXPECT_TRUE(TestApp().GetDocument()->IsOpen());
}

TEST_F(StartupTest, ThePlacementIsRestoredAtTheNextStart) {
  ASSERT_TRUE(Start());
  Frame()->SetWindowPos(nullptr, 40, 50, 900, 700, SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(CloseMainWindow());
  EXPECT_TRUE(ProfileValueExists("Window State", "MainPlacement"));
  ResetProcessSettings();

  ASSERT_TRUE(Start());
  CRect rect;
  Frame()->GetWindowRect(&rect);
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.top, 50);
  EXPECT_EQ(rect.Width(), 900);
  EXPECT_EQ(rect.Height(), 700);
  EXPECT_EQ(TestApp().GetStartShowCommand(), SW_RESTORE);
  Stop();

  // A window closed maximised starts maximised; a start minimised by the caller stays minimised.
  WINDOWPLACEMENT stored = GetWindowState().placement;
  stored.showCmd = SW_SHOWMAXIMIZED;
  TestApp().WriteProfileBinary("Window State", "MainPlacement", reinterpret_cast<BYTE*>(&stored),
                               sizeof(stored));
  ResetProcessSettings();
  ASSERT_TRUE(Start());
  EXPECT_EQ(TestApp().GetStartShowCommand(), SW_SHOWMAXIMIZED);
  Stop();
  ResetProcessSettings();
  TestApp().m_nCmdShow = SW_SHOWMINNOACTIVE;
  ASSERT_TRUE(Start());
  EXPECT_EQ(TestApp().GetStartShowCommand(), SW_SHOWMINNOACTIVE);
}

}  // namespace
