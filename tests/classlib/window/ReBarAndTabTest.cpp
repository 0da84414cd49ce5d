// A rebar holding the tool bar at the top of a frame, and a tab control whose selection change
// reaches its parent's map.
#include <gtest/gtest.h>

#include "WindowTestIds.h"
#include "WindowTestSupport.h"

namespace {

const UINT IDC_TABS = 1234;

class CBarFrame : public CFrameWnd {
 public:
  CReBar m_reBar;
  CToolBar m_toolBar;
  CTabCtrl m_tabs;
  int commands = 0;
  int selChanges = 0;
  int selectedTab = -1;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpcs) {
    if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
    if (!m_toolBar.CreateEx(this) || !m_toolBar.LoadToolBar(IDR_TESTFRAME)) return -1;
    if (!m_reBar.Create(this) || !m_reBar.AddBar(&m_toolBar)) return -1;
    if (!m_tabs.Create(WS_CHILD | WS_VISIBLE, CRect(0, 100, 300, 140), this, IDC_TABS)) return -1;
    m_tabs.InsertItem(0, "One");
    m_tabs.InsertItem(1, "Two");
    return 0;
  }
  afx_msg void OnViewCommand() { ++commands; }
  afx_msg void OnTabChange(NMHDR*, LRESULT* pResult) {
    ++selChanges;
    selectedTab = m_tabs.GetCurSel();
    *pResult = 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
  ON_WM_CREATE()
  ON_COMMAND(ID_TEST_VIEWCMD, &CBarFrame::OnViewCommand)
  ON_NOTIFY(TCN_SELCHANGE, IDC_TABS, &CBarFrame::OnTabChange)
END_MESSAGE_MAP()

void ClickAt(HWND hWnd, const CRect& rect) {
  LPARAM at = MAKELPARAM(rect.CenterPoint().x, rect.CenterPoint().y);
  ::SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(hWnd, WM_LBUTTONUP, 0, at);
}

class ReBarAndTabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new CBarFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Bars", WS_OVERLAPPEDWINDOW, CRect(0, 0, 500, 300)));
    frame->ShowWindow(SW_SHOW);
    frame->RecalcLayout();
    hFrame = frame->m_hWnd;
  }
  void TearDown() override {
    if (::IsWindow(hFrame)) ::DestroyWindow(hFrame);
  }
  CBarFrame* frame = nullptr;
  HWND hFrame = nullptr;
};

TEST_F(ReBarAndTabTest, TheReBarHoldsTheToolBarInABandWithAGripperAcrossTheTop) {
  CReBar& reBar = frame->m_reBar;
  EXPECT_EQ(reBar.GetDlgCtrlID(), AFX_IDW_REBAR);
  EXPECT_EQ(::GetParent(frame->m_toolBar.m_hWnd), reBar.m_hWnd);
  ASSERT_EQ(reBar.GetBandCount(), 1u);
  REBARBANDINFOA band = {};
  band.cbSize = REBARBANDINFOA_V6_SIZE;
  band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE;
  ASSERT_TRUE(reBar.GetBandInfo(0, &band));
  EXPECT_NE(band.fStyle & RBBS_GRIPPERALWAYS, 0u);
  EXPECT_EQ(band.hwndChild, frame->m_toolBar.m_hWnd);

  CRect client;
  frame->GetClientRect(&client);
  CRect bar;
  reBar.GetWindowRect(&bar);
  frame->ScreenToClient(&bar);
  EXPECT_EQ(bar.top, 0);
  EXPECT_EQ(bar.left, 0);
  EXPECT_EQ(bar.Width(), client.Width());
  CSize toolBarSize = frame->m_toolBar.CalcFixedLayout(FALSE, TRUE);
  EXPECT_GE(bar.Height(), toolBarSize.cy);
  EXPECT_EQ(bar.Height(), reBar.CalcFixedLayout(TRUE, TRUE).cy);
}

TEST_F(ReBarAndTabTest, AButtonOfTheToolBarInTheReBarReachesTheFrame) {
  CRect button;
  frame->m_toolBar.GetItemRect(0, &button);
  ClickAt(frame->m_toolBar.m_hWnd, button);
  PumpPending();
  EXPECT_EQ(frame->commands, 1);
}

TEST_F(ReBarAndTabTest, ChoosingATabTellsTheParentsMap) {
  CRect second;
  ASSERT_TRUE(frame->m_tabs.GetItemRect(1, &second));
  ClickAt(frame->m_tabs.m_hWnd, second);
  EXPECT_EQ(frame->selChanges, 1);
  EXPECT_EQ(frame->selectedTab, 1);
  frame->m_tabs.SetCurSel(0);
  EXPECT_EQ(frame->selChanges, 1) << "setting the selection in code sends no notification";
}

}  // namespace
