// A frame with a menu, accelerators, a tool bar, a status bar and a child view over a document:
// command routing view -> document -> frame -> application, update handlers on menus and tool
// bar buttons, accelerators, menu prompts in the status bar, the view's place.
#include <gtest/gtest.h>

#include "WindowTestIds.h"
#include "WindowTestSupport.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_route;

class CTestDoc : public CDocument {
 protected:
  afx_msg BOOL OnPassOn(UINT) {
    g_route.push_back("document");
    return FALSE;
  }
  afx_msg void OnDocCommand() { g_route.push_back("document-own"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
  ON_COMMAND_EX(ID_TEST_FRAMECMD, &CTestDoc::OnPassOn)
  ON_COMMAND(ID_TEST_DOCCMD, &CTestDoc::OnDocCommand)
END_MESSAGE_MAP()

class CTestView : public CView {
  DECLARE_DYNCREATE(CTestView)

 public:
  void OnDraw(CDC* pDC) override { pDC->FillSolidRect(0, 0, 10, 10, RGB(1, 2, 3)); }

 protected:
  afx_msg void OnViewCommand() { g_route.push_back("view"); }
  afx_msg BOOL OnPassOn(UINT) {
    g_route.push_back("view");
    return FALSE;
  }
  afx_msg void OnUpdateGreyed(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
  afx_msg void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
  DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CTestView, CView)

BEGIN_MESSAGE_MAP(CTestView, CView)
  ON_COMMAND(ID_TEST_VIEWCMD, &CTestView::OnViewCommand)
  ON_COMMAND_EX(ID_TEST_FRAMECMD, &CTestView::OnPassOn)
  ON_UPDATE_COMMAND_UI(ID_TEST_GREYED, &CTestView::OnUpdateGreyed)
  ON_UPDATE_COMMAND_UI(ID_TEST_CHECKED, &CTestView::OnUpdateChecked)
END_MESSAGE_MAP()

class CTestFrame : public CFrameWnd {
 public:
  CToolBar m_toolBar;
  CStatusBar m_statusBar;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpcs) {
    if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
    if (!m_toolBar.CreateEx(this) || !m_toolBar.LoadToolBar(IDR_TESTFRAME)) return -1;
    static const UINT indicators[] = {ID_SEPARATOR, ID_TEST_VIEWCMD};
    if (!m_statusBar.Create(this) || !m_statusBar.SetIndicators(indicators, 2)) return -1;
    return 0;
  }
  afx_msg BOOL OnPassOn(UINT) {
    g_route.push_back("frame");
    return FALSE;
  }
  afx_msg void OnGreyed() {}
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
  ON_WM_CREATE()
  ON_COMMAND_EX(ID_TEST_FRAMECMD, &CTestFrame::OnPassOn)
  ON_COMMAND(ID_TEST_GREYED, &CTestFrame::OnGreyed)
END_MESSAGE_MAP()

class CTestAppFrameCommand : public CCmdTarget {};

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_route.clear();
    TestApp().commands.clear();
    frame = new CTestFrame;
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CTestView);
    context.m_pCurrentDoc = &doc;
    ASSERT_TRUE(frame->LoadFrame(IDR_TESTFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context));
    frame->ShowWindow(SW_SHOW);
    frame->MoveWindow(0, 0, 500, 400);
    TestApp().m_pMainWnd = frame;
    hFrame = frame->m_hWnd;
  }
  void TearDown() override {
    // Not the main window any more, so that closing it does not end the test program's loop.
    TestApp().m_pMainWnd = nullptr;
    if (IsWindow(hFrame)) ::DestroyWindow(hFrame);
  }
  CTestView* View() { return static_cast<CTestView*>(frame->GetActiveView()); }
  void MenuCommand(UINT id) {
    frame->PostMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    PumpPending();
  }
  // A shown dialog bar along the top edge of a frame, with a title of its own.
  CDialogBar& AddBar(CFrameWnd* owner) {
    bar = std::make_unique<CDialogBar>();
    EXPECT_TRUE(bar->Create(owner, IDD_BAR, WS_VISIBLE | CBRS_TOP, ID_TEST_BAR));
    bar->SetWindowText("Floating");
    owner->RecalcLayout();
    return *bar;
  }
  int ViewHeight() {
    CRect view;
    View()->GetWindowRect(&view);
    return view.Height();
  }

  CTestDoc doc;
  CTestFrame* frame = nullptr;
  HWND hFrame = nullptr;
  std::unique_ptr<CDialogBar> bar;
};

// The bars' state lives in the application's profile, under a key of the test's own.
class TestProfile {
 public:
  TestProfile() {
    CProfile::OverrideRoot("Software\\Pellorin Tests Frame");
    if (!TestApp().GetProfile().HasRegistryKey()) TestApp().SetRegistryKey("Corvanith");
  }
  ~TestProfile() {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Pellorin Tests Frame");
    CProfile::OverrideRoot(nullptr);
  }
};

TEST_F(FrameTest, TheFrameHostsItsViewBetweenTheBars) {
  ASSERT_NE(View(), nullptr);
  EXPECT_EQ(View()->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
  EXPECT_EQ(View()->GetDocument(), &doc);
  EXPECT_EQ(View()->GetParentFrame(), frame);
  CString title;
  frame->GetWindowText(title);
  EXPECT_EQ(title, "Test Frame");

  CRect client, view, toolBar, statusBar;
  frame->GetClientRect(&client);
  View()->GetWindowRect(&view);
  frame->m_toolBar.GetWindowRect(&toolBar);
  frame->m_statusBar.GetWindowRect(&statusBar);
  EXPECT_GT(toolBar.Height(), 0);
  EXPECT_GT(statusBar.Height(), 0);
  EXPECT_EQ(view.Height(), client.Height() - toolBar.Height() - statusBar.Height());
  EXPECT_EQ(view.top, toolBar.bottom);
  EXPECT_EQ(view.bottom, statusBar.top);
}

TEST_F(FrameTest, BarStateKeepsWhichBarsAreShown) {
  const char* profile = "Test Frame\\Bars\\";
  TestProfile keys;
  ASSERT_TRUE(frame->m_toolBar.IsWindowVisible());
  frame->ShowControlBar(&frame->m_toolBar, FALSE, FALSE);
  frame->SaveBarState(profile);
  frame->ShowControlBar(&frame->m_toolBar, TRUE, FALSE);
  frame->LoadBarState(profile);
  EXPECT_FALSE(frame->m_toolBar.IsWindowVisible());
  EXPECT_TRUE(frame->m_statusBar.IsWindowVisible());
  CRect client, view;
  frame->GetClientRect(&client);
  View()->GetClientRect(&view);
  CRect statusBar;
  frame->m_statusBar.GetWindowRect(&statusBar);
  EXPECT_EQ(view.Height(), client.Height() - statusBar.Height()) << "the hidden bar gives its room back";
  // A section without a value changes nothing.
  frame->ShowControlBar(&frame->m_toolBar, TRUE, FALSE);
  frame->LoadBarState("No Such Frame\\Bars\\");
  EXPECT_TRUE(frame->m_toolBar.IsWindowVisible());
}

TEST_F(FrameTest, AFloatedBarLivesInAnOwnedToolWindowAtThePointAndTakesNoRoom) {
  CDialogBar& bar = AddBar(frame);
  const int docked = ViewHeight();
  frame->FloatControlBar(&bar, CPoint(123, 87));
  HWND tool = ::GetParent(bar.m_hWnd);
  ASSERT_NE(tool, hFrame);
  EXPECT_EQ(::GetWindowLongPtrA(tool, GWL_STYLE) & (WS_POPUP | WS_CHILD | WS_CAPTION | WS_SYSMENU),
            WS_POPUP | WS_CAPTION | WS_SYSMENU);
  EXPECT_NE(::GetWindowLongPtrA(tool, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(::GetWindow(tool, GW_OWNER), hFrame);
  char caption[64] = {};
  ::GetWindowTextA(tool, caption, sizeof(caption));
  EXPECT_STREQ(caption, "Floating");
  EXPECT_TRUE(::IsWindowVisible(tool));
  CRect window, client, placed;
  ::GetWindowRect(tool, &window);
  EXPECT_EQ(window.TopLeft(), CPoint(123, 87));
  ::GetClientRect(tool, &client);
  EXPECT_EQ(client.Size(), bar.m_sizeDefault);
  bar.GetWindowRect(&placed);
  ::MapWindowPoints(nullptr, tool, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed, client) << "the bar fills the window";

  EXPECT_TRUE(bar.IsFloating());
  EXPECT_EQ(bar.GetDockingFrame(), frame);
  EXPECT_EQ(frame->GetControlBar(ID_TEST_BAR), &bar);
  EXPECT_EQ(ViewHeight(), docked + bar.m_sizeDefault.cy) << "the frame keeps no room for it";
  CRect rest;
  frame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &rest);
  EXPECT_EQ(rest.Height(), ViewHeight());

  // Floating it again only moves its window; docking it gives it back to the frame.
  frame->FloatControlBar(&bar, CPoint(40, 300));
  EXPECT_EQ(::GetParent(bar.m_hWnd), tool);
  ::GetWindowRect(tool, &window);
  EXPECT_EQ(window.TopLeft(), CPoint(40, 300));
  frame->DockControlBar(&bar);
  EXPECT_EQ(::GetParent(bar.m_hWnd), hFrame);
  EXPECT_FALSE(::IsWindow(tool));
  EXPECT_FALSE(bar.IsFloating());
  EXPECT_EQ(ViewHeight(), docked);
}

TEST_F(FrameTest, AFloatingBarsWindowFollowsTheBarAndItsCloseBoxHidesIt) {
  CDialogBar& bar = AddBar(frame);
  frame->FloatControlBar(&bar, CPoint(123, 87));
  HWND tool = ::GetParent(bar.m_hWnd);
  const int height = ViewHeight();
  struct Step {
    const char* what;
    std::function<void()> act;
    bool shown;
  };
  const Step steps[] = {
      {"hidden by the frame", [&] { frame->ShowControlBar(&bar, FALSE, FALSE); }, false},
      {"shown by the frame", [&] { frame->ShowControlBar(&bar, TRUE, FALSE); }, true},
      {"hidden itself", [&] { bar.ShowWindow(SW_HIDE); }, false},
      {"shown itself", [&] { bar.ShowWindow(SW_SHOW); }, true},
      {"closed by its caption box", [&] { ::SendMessageA(tool, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
      {"shown again", [&] { frame->ShowControlBar(&bar, TRUE, FALSE); }, true},
  };
  for (const Step& step : steps) {
    step.act();
    ASSERT_TRUE(::IsWindow(tool)) << step.what;
    EXPECT_EQ(step.shown, !!::IsWindowVisible(tool)) << step.what;
    EXPECT_EQ(step.shown, !!bar.IsWindowVisible()) << step.what;
    EXPECT_EQ(ViewHeight(), height) << step.what;
  }

  // The stored bar state keeps it hidden, window and all.
  const char* profile = "Test Frame\\Bars\\";
  TestProfile keys;
  frame->ShowControlBar(&bar, FALSE, FALSE);
  frame->SaveBarState(profile);
  frame->ShowControlBar(&bar, TRUE, FALSE);
  frame->LoadBarState(profile);
  EXPECT_FALSE(bar.IsWindowVisible());
  EXPECT_FALSE(::IsWindowVisible(tool));
}

TEST_F(FrameTest, AFloatingBarIsUpdatedAndCommandedThroughItsFrame) {
  CDialogBar& bar = AddBar(frame);
  frame->FloatControlBar(&bar, CPoint(123, 87));
  TestApp().OnIdle(0);
  EXPECT_TRUE(bar.GetDlgItem(ID_TEST_FRAMECMD)->IsWindowEnabled());
  EXPECT_FALSE(bar.GetDlgItem(ID_TEST_GREYED)->IsWindowEnabled()) << "the view's update handler greys it";
  EXPECT_FALSE(bar.GetDlgItem(ID_TEST_UNHANDLED)->IsWindowEnabled()) << "nobody handles it";
  g_route.clear();
  bar.GetDlgItem(ID_TEST_FRAMECMD)->SendMessage(BM_CLICK);
  EXPECT_EQ(g_route, (std::vector<std::string>{"view", "document", "frame"}));
}

// A screen inside the main window: its floating bar's window can only be owned by the top-level
// window, yet the bar belongs to the screen and goes with it.
TEST_F(FrameTest, AChildFramesFloatingBarBelongsToThatFrameAndGoesWithIt) {
  auto* child = new CFrameWnd;
  ASSERT_TRUE(child->Create(nullptr, "Screen", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 200), frame));
  CDialogBar& bar = AddBar(child);
  child->FloatControlBar(&bar, CPoint(50, 60));
  HWND tool = ::GetParent(bar.m_hWnd);
  EXPECT_EQ(::GetWindow(tool, GW_OWNER), hFrame);
  EXPECT_EQ(bar.GetDockingFrame(), child);
  EXPECT_EQ(child->GetControlBar(ID_TEST_BAR), &bar);
  EXPECT_EQ(frame->GetControlBar(ID_TEST_BAR), nullptr);
  TestApp().OnIdle(0);
  EXPECT_FALSE(bar.GetDlgItem(ID_TEST_FRAMECMD)->IsWindowEnabled()) << "the screen's route has no handler";

  child->DestroyWindow();
  EXPECT_FALSE(::IsWindow(tool));
  EXPECT_EQ(bar.m_hWnd, nullptr);
  EXPECT_TRUE(::IsWindow(hFrame));
}

TEST_F(FrameTest, MenuCommandsGoToTheViewThenDocumentFrameAndApplication) {
  MenuCommand(ID_TEST_FRAMECMD);
  EXPECT_EQ(g_route, (std::vector<std::string>{"view", "document", "frame"}));
  EXPECT_TRUE(TestApp().commands.empty());

  g_route.clear();
  MenuCommand(ID_TEST_VIEWCMD);
  EXPECT_EQ(g_route, (std::vector<std::string>{"view"}));
  g_route.clear();
  MenuCommand(ID_TEST_DOCCMD);
  EXPECT_EQ(g_route, (std::vector<std::string>{"document-own"}));

  MenuCommand(ID_TEST_APPCMD);
  EXPECT_EQ(TestApp().commands, (std::vector<UINT>{ID_TEST_APPCMD}));
}

TEST_F(FrameTest, UpdateHandlersGreyMenuItemsAndToolBarButtons) {
  CMenu* pTestMenu = frame->GetMenu()->GetSubMenu(1);
  ASSERT_NE(pTestMenu, nullptr);
  frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(pTestMenu->m_hMenu), MAKELPARAM(1, FALSE));
  EXPECT_NE(pTestMenu->GetMenuState(ID_TEST_GREYED, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_NE(pTestMenu->GetMenuState(ID_TEST_CHECKED, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_EQ(pTestMenu->GetMenuState(ID_TEST_VIEWCMD, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(pTestMenu->GetMenuState(ID_TEST_APPCMD, MF_BYCOMMAND) & MF_GRAYED, 0u);

  // A disabled command does nothing even when it arrives.
  g_route.clear();
  MenuCommand(ID_TEST_GREYED);

  TestApp().OnIdle(0);
  CToolBarCtrl& buttons = frame->m_toolBar.GetToolBarCtrl();
  EXPECT_FALSE(buttons.IsButtonEnabled(ID_TEST_GREYED));
  EXPECT_TRUE(buttons.IsButtonEnabled(ID_TEST_VIEWCMD));
  EXPECT_TRUE(buttons.IsButtonEnabled(ID_TEST_APPCMD));
  EXPECT_EQ(buttons.GetButtonCount(), 5);
}

TEST_F(FrameTest, AnAcceleratorFiresItsCommand) {
  View()->SetFocus();
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  View()->PostMessage(WM_KEYDOWN, 'K', 1);
  PumpPending();
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(g_route, (std::vector<std::string>{"view"}));
}

TEST_F(FrameTest, TheStatusBarShowsMenuPrompts) {
  EXPECT_EQ(frame->m_statusBar.GetPaneText(0), "Ready");
  EXPECT_EQ(frame->m_statusBar.GetPaneText(1), "Runs the view command\nView");
  frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_TEST_FRAMECMD, MF_STRING), 0);
  EXPECT_EQ(frame->m_statusBar.GetPaneText(0), "Runs the frame command");
  frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(frame->m_statusBar.GetPaneText(0), "Ready");
}

TEST_F(FrameTest, OnlyAFrameThatAskedForItShowsTheDocumentInItsTitle) {
  doc.SetTitle("job");
  TestApp().OnIdle(0);
  CString title;
  frame->GetWindowText(title);
  EXPECT_EQ(title, "job - Test Frame");
  EXPECT_EQ(frame->GetStyle() & FWS_ADDTOTITLE, 0u) << "a frame style, not the window's";

  CTestDoc other;
  other.SetTitle("other job");
  CCreateContext context;
  context.m_pNewViewClass = RUNTIME_CLASS(CTestView);
  context.m_pCurrentDoc = &other;
  auto* plain = new CTestFrame;
  ASSERT_TRUE(plain->LoadFrame(IDR_TESTFRAME, WS_OVERLAPPEDWINDOW, nullptr, &context));
  plain->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
  plain->GetWindowText(title);
  EXPECT_EQ(title, "Test Frame");
  plain->DestroyWindow();
}

TEST_F(FrameTest, ClosingTheMainFrameEndsTheLoop) {
  frame->PostMessage(WM_CLOSE);
  MSG msg = {};
  bool quit = false;
  const ULONGLONG end = GetTickCount64() + 5000;
  while (!quit && GetTickCount64() < end) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        break;
      }
      DispatchMessageA(&msg);
    }
    if (!quit) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  EXPECT_TRUE(quit);
  EXPECT_FALSE(IsWindow(hFrame));
  EXPECT_EQ(TestApp().m_pMainWnd, nullptr);
}

}  // namespace
