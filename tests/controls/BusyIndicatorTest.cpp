// The busy indicator: its dialog on the user-interface thread or on its own thread, nesting, the
// delay rule, Cancel, and the main window's busy switch.
#include "BusyIndicator.h"

#include "resource.h"

#include "classlib/ClassLib.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class BusyTestApp : public CWinApp {
 public:
  BusyTestApp() : CWinApp("Pellorin Busy Tests") {}
};
BusyTestApp g_app;

std::vector<BOOL> g_switches;
void RecordSwitch(BOOL busy) { g_switches.push_back(busy); }

CString DialogText(HWND dialog) {
  char text[256] = {};
  ::GetDlgItemTextA(dialog, IDC_BUSY_TEXT, text, sizeof(text));
  return text;
}

// Lets the dialogs of this thread handle what was sent or posted to them.
void Pump() {
  MSG msg;
  for (int i = 0; i < 20; ++i) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(5);
  }
}

int ClientHeight(HWND window) {
  RECT client = {};
  ::GetClientRect(window, &client);
  return client.bottom;
}

int CancelTop(HWND dialog) {
  RECT button = {};
  ::GetWindowRect(::GetDlgItem(dialog, IDCANCEL), &button);
  POINT top = {button.left, button.top};
  ::ScreenToClient(dialog, &top);
  return top.y;
}

class BusyIndicatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (main.GetSafeHwnd() == nullptr)
      ASSERT_TRUE(
          main.CreateEx(0, nullptr, "Pellorin", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
    g_app.m_pMainWnd = &main;
    g_switches.clear();
    CBusyIndicator::SetUserInterfaceSwitch(&RecordSwitch);
  }
  void TearDown() override {
    CBusyIndicator::SetUserInterfaceSwitch(nullptr);
    EXPECT_EQ(0, CBusyIndicator::GetBusyCount());
    EXPECT_EQ(nullptr, CBusyIndicator::GetDialogWindow(FALSE));
    EXPECT_EQ(nullptr, CBusyIndicator::GetDialogWindow(TRUE));
  }
  static CWnd main;
};
CWnd BusyIndicatorTest::main;

}  // namespace

TEST(BusyIndicatorDelay, EarliestDeadlineWins) {
  struct Case {
    bool shown;
    DWORD deadline, now, delay;
    DWORD sent;
    bool shownAfter;
    DWORD deadlineAfter;
  };
  const Case cases[] = {
      {true, 5000, 1000, 3000, 0, true, 5000},                    // already shown: at once
      {false, 5000, 1000, 0, 0, true, 5000},                      // no delay: at once
      {false, 5000, 6000, 1000, 0, true, 5000},                   // the old deadline has passed
      {false, 2000, 1200, 5000, 800, false, 2000},                // a longer delay never postpones
      {false, 3000, 1200, 1000, 1000, false, 2200},               // a shorter one brings it forward
      {false, 0x00000100, 0xFFFFFF00, 0x100, 0x100, false, 0x0},  // tick counts wrap around
  };
  for (const Case& c : cases) {
    bool shown = c.shown;
    DWORD deadline = c.deadline;
    EXPECT_EQ(c.sent, CBusyIndicator::NestedDelay(shown, deadline, c.now, c.delay)) << c.now;
    EXPECT_EQ(c.shownAfter, shown) << c.now;
    EXPECT_EQ(c.deadlineAfter, deadline) << c.now;
  }
}

TEST_F(BusyIndicatorTest, OwnThreadDialogShowsAndStopsWithTheLastIndicator) {
  HWND dialog = nullptr;
  HANDLE threadCheck = nullptr;
  {
    CBusyIndicator indicator(IDS_SAVING_FILE, 0, TRUE, FALSE);
    EXPECT_EQ(1, indicator.GetLevel());
    dialog = CBusyIndicator::GetDialogWindow(TRUE);
    ASSERT_NE(nullptr, dialog);
    DWORD threadId = GetWindowThreadProcessId(dialog, nullptr);
    EXPECT_NE(GetCurrentThreadId(), threadId);
    threadCheck = OpenThread(SYNCHRONIZE, FALSE, threadId);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_STREQ("Saving file ... please wait.", DialogText(dialog));
    EXPECT_EQ(nullptr, GetWindow(dialog, GW_OWNER));
    EXPECT_LE(ClientHeight(dialog), CancelTop(dialog));  // cut above the Cancel button
    EXPECT_FALSE(indicator.IsCancelled());
    EXPECT_EQ((std::vector<BOOL>{TRUE}), g_switches);
  }
  EXPECT_FALSE(IsWindow(dialog));
  ASSERT_NE(nullptr, threadCheck);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(threadCheck, 0));  // joined before the destructor returned
  CloseHandle(threadCheck);
  EXPECT_EQ((std::vector<BOOL>{TRUE, FALSE}), g_switches);
}

TEST_F(BusyIndicatorTest, CancelIsReportedToTheOperation) {
  CBusyIndicator indicator("Wait ...", 0, FALSE, TRUE);
  HWND dialog = CBusyIndicator::GetDialogWindow(FALSE);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(main.GetSafeHwnd(), GetWindow(dialog, GW_OWNER));
  Pump();
  EXPECT_TRUE(IsWindowVisible(dialog));
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  EXPECT_TRUE(IsWindowEnabled(cancel));
  EXPECT_GT(ClientHeight(dialog), CancelTop(dialog));
  EXPECT_FALSE(indicator.IsCancelled());
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
  EXPECT_TRUE(indicator.IsCancelled());
  EXPECT_FALSE(IsWindowEnabled(cancel));
  EXPECT_TRUE(IsWindowVisible(dialog));
}

TEST_F(BusyIndicatorTest, AnInnerIndicatorWithoutTextMovesTheOuterTextToThisThread) {
  CBusyIndicator outer("outer text", 0, TRUE, FALSE);
  HWND threadDialog = CBusyIndicator::GetDialogWindow(TRUE);
  ASSERT_NE(nullptr, threadDialog);
  {
    CBusyIndicator inner(static_cast<LPCTSTR>(nullptr), 0, FALSE, FALSE);
    EXPECT_EQ(2, inner.GetLevel());
    HWND mainDialog = CBusyIndicator::GetDialogWindow(FALSE);
    ASSERT_NE(nullptr, mainDialog);
    Pump();
    EXPECT_STREQ("outer text", DialogText(mainDialog));
    EXPECT_TRUE(IsWindowVisible(mainDialog));
    EXPECT_FALSE(IsWindowVisible(threadDialog));
  }
  // The user-interface thread's dialog stays until the stack empties, hidden.
  EXPECT_FALSE(IsWindowVisible(CBusyIndicator::GetDialogWindow(FALSE)));
  EXPECT_TRUE(IsWindowVisible(threadDialog));
  EXPECT_STREQ("outer text", DialogText(threadDialog));
  EXPECT_EQ((std::vector<BOOL>{TRUE, TRUE}), g_switches);
}

TEST_F(BusyIndicatorTest, ALongDelayShowsNothingUntilAShorterOneComes) {
  CBusyIndicator outer("later", 60, FALSE, FALSE);
  HWND dialog = CBusyIndicator::GetDialogWindow(FALSE);
  ASSERT_NE(nullptr, dialog);
  Pump();
  EXPECT_FALSE(IsWindowVisible(dialog));
  {
    CBusyIndicator inner("now", 0, FALSE, FALSE);
    Pump();
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_STREQ("now", DialogText(dialog));
  }
  // Once the dialog has been visible, the outer text comes back at once.
  Pump();
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_STREQ("later", DialogText(dialog));
}

TEST_F(BusyIndicatorTest, IndicatorsEndingOutOfOrderKeepTheInnerText) {
  auto outer = std::make_unique<CBusyIndicator>("outer", 0, FALSE, FALSE);
  CBusyIndicator inner("inner", 0, FALSE, TRUE);
  HWND dialog = CBusyIndicator::GetDialogWindow(FALSE);
  outer.reset();
  EXPECT_EQ(2, inner.GetLevel());
  EXPECT_EQ(1, CBusyIndicator::GetBusyCount());
  EXPECT_STREQ("inner", DialogText(dialog));
  EXPECT_EQ((std::vector<BOOL>{TRUE, TRUE}), g_switches);
}

TEST_F(BusyIndicatorTest, AnIndicatorWithoutTextOnlyGreysTheMenus) {
  {
    CBusyIndicator quiet(static_cast<LPCTSTR>(""), 0, TRUE, TRUE);
    EXPECT_EQ(0, quiet.GetLevel());
    EXPECT_FALSE(quiet.IsCancelled());
    EXPECT_EQ(nullptr, CBusyIndicator::GetDialogWindow(TRUE));
    EXPECT_EQ(1, CBusyIndicator::GetBusyCount());
  }
  EXPECT_EQ((std::vector<BOOL>{TRUE, FALSE}), g_switches);
}
