// The cell grid as a real window: cell geometry, scrolling limits and scroll bars, mouse and keys
// turned into selection, the idle-time finishing pass and the timed repaint queue.
#include "OwnerControlsTestSupport.h"

#include "AppEventBus.h"
#include "IdleTimeEvent.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Pos = COwnerCellCtl::ItemPos;

class CellGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(COwnerCellCtl::RegisterWindowClass());
    parent->Open();
    ASSERT_NE(parent->GetSafeHwnd(), nullptr);
  }
  // A client area of 300 x 200 whatever the scroll bar takes.
  void Open(COwnerCellCtl& ctl, int items, DWORD scroll = WS_VSCROLL) {
    ASSERT_TRUE(ctl.Create(COwnerCellCtl::kWindowClass, "", WS_CHILD | WS_VISIBLE | scroll,
                           CRect(0, 0, 300, 200), parent, 100));
    CRect client;
    ctl.GetClientRect(&client);
    ctl.MoveWindow(0, 0, 600 - client.Width(), 400 - client.Height());
    for (int i = 0; i < items; ++i) ctl.InsertItem(Pos::ByIndex(i), 100 + i);
    owner.calls.clear();
  }
  SCROLLINFO Bar(COwnerCellCtl& ctl, int bar) {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ::GetScrollInfo(ctl.GetSafeHwnd(), bar, &info);
    return info;
  }
  static LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

  static void SetUpTestSuite() { parent = new RecordingParent; }
  static void TearDownTestSuite() {
    parent->DestroyWindow();
    delete parent;
    parent = nullptr;
  }
  static RecordingParent* parent;
  RecordingCellOwner owner;
};
RecordingParent* CellGridTest::parent = nullptr;

TEST_F(CellGridTest, CellsTileTheClientArea) {
  COwnerCellCtl ctl(3, 2, 3, &owner);
  Open(ctl, 0);
  CRect client;
  ctl.GetClientRect(&client);
  const int w = client.Width(), h = client.Height();
  EXPECT_EQ(ctl.GetCellRect(0), CRect(0, 0, w / 3, h / 2));
  EXPECT_EQ(ctl.GetCellRect(4), CRect(w / 3, h / 2, 2 * w / 3, h));
  EXPECT_EQ(ctl.GetCellRect(5).right, w);
  EXPECT_EQ(ctl.GetCellRect(6), CRect(0, h, w / 3, 3 * h / 2));  // past the page, the grid goes on below
}

TEST_F(CellGridTest, VerticalScrollLimitsLeaveOneRowAfterTheLastItem) {
  struct Case {
    int items;
    int maxTop;
    int barMax;
  };
  for (const Case& c : {Case{10, 6, 3}, Case{9, 6, 3}, Case{4, 0, 1}}) {
    COwnerCellCtl ctl(3, 2, 3, &owner);
    Open(ctl, c.items);
    ctl.SetTopIndex(Pos::ByIndex(100));
    EXPECT_EQ(ctl.GetTopIndex(), c.maxTop) << c.items;
    const SCROLLINFO info = Bar(ctl, SB_VERT);
    EXPECT_EQ(info.nMax, c.barMax) << c.items;
    EXPECT_EQ(info.nPage, 2u);
    EXPECT_EQ(info.nPos, c.maxTop / 3) << c.items;
    ctl.DestroyWindow();
  }
}

TEST_F(CellGridTest, HorizontalModeScrollsByItems) {
  COwnerCellCtl ctl(5, 1, 3, &owner);
  Open(ctl, 10, WS_HSCROLL);
  ctl.SetTopIndex(Pos::ByIndex(9));
  EXPECT_EQ(ctl.GetTopIndex(), 6);
  ctl.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_LINEUP, 0));
  EXPECT_EQ(ctl.GetTopIndex(), 5);
  ctl.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 2));
  EXPECT_EQ(ctl.GetTopIndex(), 2);
  EXPECT_EQ(Bar(ctl, SB_HORZ).nMax, 10);
  ctl.EnsureVisible(Pos::ByIndex(8));  // becomes the last visible item
  EXPECT_EQ(ctl.GetTopIndex(), 4);
}

TEST_F(CellGridTest, ScrollMessagesMoveByRows) {
  COwnerCellCtl ctl(4, 2, 3, &owner);
  Open(ctl, 20);
  ctl.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 2));
  EXPECT_EQ(ctl.GetTopIndex(), 8);
  EXPECT_EQ(owner.Take("top"), (std::vector<std::string>{"top 8"}));
  ctl.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0));
  EXPECT_EQ(ctl.GetTopIndex(), 12);
  ctl.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0));  // 16: the last row
  ctl.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0));  // 20 is past the items: nothing
  EXPECT_EQ(ctl.GetTopIndex(), 16);
  ctl.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEUP, 0));
  EXPECT_EQ(ctl.GetTopIndex(), 8);
  ctl.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0));
  EXPECT_EQ(ctl.GetTopIndex(), 16);
  EXPECT_FALSE(ctl.CanPageDown());
  EXPECT_TRUE(ctl.CanPageUp());
}

TEST_F(CellGridTest, ClicksSelectAndReportCells) {
  COwnerCellCtl ctl(3, 2, 3, &owner);
  Open(ctl, 5);
  const CRect c1 = ctl.GetCellRect(1), c4 = ctl.GetCellRect(4), c5 = ctl.GetCellRect(5);
  ctl.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(c5.left + 2, c5.top + 2));  // no item there
  EXPECT_EQ(owner.Take("cell-ldown"), (std::vector<std::string>{"cell-ldown -1"}));
  EXPECT_EQ(ctl.GetSelectedCount(), 0);

  ctl.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(c1.left + 2, c1.top + 2));
  ctl.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, At(c4.left + 2, c4.top + 2));
  EXPECT_EQ(ctl.GetSelectedCount(), 4);
  ctl.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL | MK_SHIFT, At(c1.left + 2, c1.top + 2));
  EXPECT_EQ(ctl.GetSelectionOrder(Pos::ByIndex(1)), 0);  // Control wins over Shift: a toggle
  EXPECT_EQ(ctl.GetSelectedCount(), 3);
  ctl.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, At(c4.left + 2, c4.top + 2));
  EXPECT_EQ(owner.Take("activate"), (std::vector<std::string>{"activate 4"}));
  EXPECT_EQ(owner.Take("cell-ldown").size(), 3u);

  // A right click selects through the owner's click selection: only the item.
  ctl.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, At(c1.left + 2, c1.top + 2));
  EXPECT_EQ(ctl.GetSelectedCount(), 1);
  EXPECT_EQ(ctl.GetSelectionOrder(Pos::ByIndex(1)) > 0, true);
}

TEST_F(CellGridTest, TheWheelHitTestsInScreenCoordinatesAndPassesThemOn) {
  COwnerCellCtl ctl(3, 2, 3, &owner);
  Open(ctl, 5);
  const CRect c2 = ctl.GetCellRect(2);
  POINT screen = {c2.left + 3, c2.top + 3};
  ctl.ClientToScreen(&screen);
  ctl.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
  EXPECT_EQ(owner.Take("wheel"), (std::vector<std::string>{"wheel 2 120 " + std::to_string(screen.x) + "," +
                                                           std::to_string(screen.y)}));
}

TEST_F(CellGridTest, KeysMoveTheSelectionFromTheCaret) {
  COwnerCellCtl ctl(3, 2, 3, &owner);
  Open(ctl, 20);
  EXPECT_EQ(ctl.SendMessage(WM_GETDLGCODE), DLGC_WANTARROWS);
  ctl.SendMessage(WM_KEYDOWN, VK_RIGHT, 1);  // no caret: starts from -1
  EXPECT_EQ(ctl.GetCaret(), 0);
  ctl.SendMessage(WM_KEYDOWN, VK_LEFT, 1);  // before the first item: nothing selected, top stays
  EXPECT_EQ(ctl.GetCaret(), 0);
  EXPECT_EQ(ctl.GetTopIndex(), 0);
  ctl.SendMessage(WM_KEYDOWN, VK_END, 1);  // its row to the top, as far as the limit allows
  EXPECT_EQ(ctl.GetCaret(), 19);
  EXPECT_EQ(ctl.GetTopIndex(), 15);
  ctl.SendMessage(WM_KEYDOWN, VK_UP, 1);
  EXPECT_EQ(ctl.GetCaret(), 16);
  EXPECT_EQ(ctl.GetTopIndex(), 15);
  ctl.SendMessage(WM_KEYDOWN, VK_HOME, 1);
  EXPECT_EQ(ctl.GetCaret(), 0);
  EXPECT_EQ(ctl.GetTopIndex(), 0);

  // Shift held (by the thread's key state) extends from the anchor.
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  ::SetKeyboardState(keys);
  ctl.SendMessage(WM_KEYDOWN, VK_DOWN, 1);
  ctl.SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
  keys[VK_SHIFT] = 0;
  ::SetKeyboardState(keys);
  EXPECT_EQ(ctl.GetSelectedCount(), 5);
  EXPECT_EQ(ctl.GetAnchor(), 0);
  EXPECT_EQ(ctl.GetCaret(), 4);
}

TEST_F(CellGridTest, UnfinishedCellsAreCompletedOnePerIdleEventLowestFirst) {
  COwnerCellCtl ctl(3, 2, 1 | 2, &owner);
  Open(ctl, 6);
  owner.unfinished = {4, 2};
  owner.draws.clear();
  ctl.RedrawNow();
  EXPECT_EQ(owner.draws, (std::vector<std::string>{"0:1", "1:1", "2:1", "3:1", "4:1", "5:1"}));
  EXPECT_EQ(ctl.GetIdleQueueSize(), 2u);
  owner.draws.clear();
  std::vector<bool> moreTime;
  for (int i = 0; i < 3; ++i) {
    IdleTimeEvent idle;
    FireAppEvent(&idle);
    moreTime.push_back(idle.moreTime);
  }
  EXPECT_EQ(owner.draws, (std::vector<std::string>{"2:2", "4:2"}));
  EXPECT_EQ(moreTime, (std::vector<bool>{true, true, false}));

  // A whole redraw, and a size change, drop the waiting cells.
  ctl.RedrawNow();
  EXPECT_EQ(ctl.GetIdleQueueSize(), 2u);
  ctl.Redraw();
  EXPECT_EQ(ctl.GetIdleQueueSize(), 0u);
  ctl.RedrawNow();
  ctl.MoveWindow(0, 0, 250, 250);
  EXPECT_EQ(ctl.GetIdleQueueSize(), 0u);
}

TEST_F(CellGridTest, ACellThatFailsAtIdleTimeIsReportedOnceAndTheOthersAreStillDrawn) {
  CScriptedPrompt prompts;
  prompts.FailWhenEmpty(true);
  COwnerCellCtl ctl(3, 2, 1 | 2, &owner);
  Open(ctl, 6);
  owner.unfinished = {1, 2, 4};
  owner.failAtIdle = {1, 2};
  for (int round = 0; round < 2; ++round) {
    ctl.RedrawNow();
    owner.draws.clear();
    std::vector<bool> moreTime;
    for (int i = 0; i < 4; ++i) {
      IdleTimeEvent idle;
      FireAppEvent(&idle);
      moreTime.push_back(idle.moreTime);
    }
    EXPECT_EQ(owner.draws, (std::vector<std::string>{"1:2", "2:2", "4:2"}));
    EXPECT_EQ(moreTime, (std::vector<bool>{true, true, true, false}));
  }
  auto shown = prompts.GetShown();
  ASSERT_EQ(shown.size(), 1u) << "one report for the control, however often its cells fail";
  EXPECT_EQ(shown[0].text, "picture unreadable");
}

TEST_F(CellGridTest, DeferredRedrawsComeOneByOneInIndexOrder) {
  COwnerCellCtl ctl(3, 3, 3, &owner);
  Open(ctl, 9);
  ctl.UpdateWindow();
  PumpFor(30);
  owner.draws.clear();
  for (int i : {8, 3, 5}) ctl.RedrawItemDeferred(Pos::ByIndex(i), 50);
  EXPECT_TRUE(owner.draws.empty());
  ASSERT_TRUE(PumpUntil([&] { return ctl.GetDeferredQueueSize() == 0; }));
  EXPECT_EQ(owner.draws, (std::vector<std::string>{"3:0", "5:0", "8:0"}));

  owner.draws.clear();
  ctl.RedrawItemDeferred(Pos::ByIndex(1), 50);
  ctl.Redraw();  // drops the queue before the timer fires
  EXPECT_EQ(ctl.GetDeferredQueueSize(), 0u);
  ctl.ValidateRect(nullptr);  // leave out the whole paint itself: only the queue could draw now
  PumpFor(150);
  EXPECT_TRUE(owner.draws.empty());
}

TEST_F(CellGridTest, DeletingTheLastPageScrollsUpAndRedrawSwitchHoldsTheBar) {
  COwnerCellCtl ctl(3, 2, 3, &owner);
  Open(ctl, 7);
  ctl.SetTopIndex(Pos::ByIndex(6));
  ASSERT_EQ(ctl.GetTopIndex(), 3);
  for (int i = 6; i >= 3; --i) ctl.DeleteItem(Pos::ByIndex(i));
  EXPECT_EQ(ctl.GetTopIndex(), 0);
  EXPECT_EQ(owner.Take("top"), (std::vector<std::string>{"top 3", "top 0"}));

  EXPECT_TRUE(ctl.SetRedraw(false));
  for (int i = 0; i < 30; ++i) ctl.InsertItem(Pos::ByIndex(0), i);
  EXPECT_EQ(Bar(ctl, SB_VERT).nMax, 1);  // still the bar of 3 items
  EXPECT_FALSE(ctl.SetRedraw(true));
  EXPECT_EQ(Bar(ctl, SB_VERT).nMax, 11);
}

TEST_F(CellGridTest, TheHideStyleHidesTheBarAndBringsItBack) {
  COwnerCellCtl ctl(3, 2, 2 | 4, &owner);
  Open(ctl, 2);
  EXPECT_EQ(ctl.GetStyle() & WS_VSCROLL, 0u);
  for (int i = 0; i < 20; ++i) ctl.InsertItem(Pos::ByIndex(0), i);
  EXPECT_NE(ctl.GetStyle() & WS_VSCROLL, 0u);
  EXPECT_EQ(Bar(ctl, SB_VERT).nMax, 7);
}

}  // namespace
