// The menu list (a popup menu of its items, answered by the menu script) and the pick list.
#include "SmallControlsSupport.h"

#include "ColourPicker.h"
#include "ControlClasses.h"
#include "MenuListCtl.h"
#include "PickListCtl.h"

namespace {

constexpr UINT ListId = 200;

class MenuListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(list.CreateEx(0, ControlClasses::MenuList, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 30),
                              &parent, ListId));
  }
  void Click() { list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); }

  CRecordingParent parent;
  CMenuListCtl list;
};

TEST_F(MenuListTest, TheMenuShowsEveryItemWithTheSelectionCheckedAndAChoiceNotifies) {
  list.AddItem(5, "Five");
  list.AddItem(7, "Seven", TRUE);
  list.AddItem(-1, "Never");
  CPopupMenuScript script;
  script.Choose(6);
  Click();
  auto shown = script.GetShown();
  ASSERT_EQ(shown.size(), 1u);
  ASSERT_EQ(shown[0].items.size(), 3u);
  EXPECT_EQ(shown[0].items[0].nID, 6u);
  EXPECT_EQ(shown[0].items[1].nID, 8u);
  EXPECT_EQ(shown[0].items[2].nID, 0u) << "identifier -1 can never be chosen";
  EXPECT_STREQ(shown[0].items[0].text, "Five");
  EXPECT_FALSE(shown[0].items[0].nState & MF_CHECKED);
  EXPECT_TRUE(shown[0].items[1].nState & MF_CHECKED);
  EXPECT_EQ(shown[0].nFlags & (TPM_RETURNCMD | TPM_NONOTIFY),
            static_cast<UINT>(TPM_RETURNCMD | TPM_NONOTIFY));
  CPoint corner(1, 1);
  list.ClientToScreen(&corner);
  EXPECT_EQ(shown[0].point.x, corner.x);
  EXPECT_EQ(shown[0].point.y, corner.y);
  EXPECT_EQ(list.GetCurSel(), 5);
  EXPECT_EQ(parent.Codes(), (std::vector<int>{PICKN_CHANGED}));
  EXPECT_EQ(parent.notifications[0].id, ListId);

  script.Choose(6);  // the selected one again still notifies
  Click();
  EXPECT_EQ(parent.notifications.size(), 2u);
  script.Choose(0);  // dismissed
  Click();
  EXPECT_EQ(parent.notifications.size(), 2u);
  EXPECT_EQ(list.GetCurSel(), 5);
}

TEST_F(MenuListTest, ASingleSelectedItemIgnoresClicksAnUnselectedOneOpensTheMenu) {
  CPopupMenuScript script;
  list.AddItem(3, "Only", TRUE);
  Click();
  EXPECT_TRUE(script.GetShown().empty());
  list.SetCurSel(-1);
  Click();
  EXPECT_EQ(script.GetShown().size(), 1u);
}

TEST_F(MenuListTest, SelectionByMessageAndDataExchange) {
  list.AddItem(1, "One");
  list.AddItem(2, "Two");
  list.AddItem(2, "Second two");
  EXPECT_EQ(list.SendMessage(LCM_SETCURSEL, 2), 2);
  EXPECT_EQ(list.SendMessage(LCM_GETCURSEL), 2);
  EXPECT_STREQ(list.GetItemText(2), "Two");
  EXPECT_STREQ(list.GetItemText(9), "");
  list.SetCurSel(9);
  EXPECT_EQ(list.GetCurSel(), 2) << "an unknown identifier changes nothing";
  int value = 1;
  CDataExchange load(&parent, FALSE);
  DDX_MenuList(&load, ListId, value);
  EXPECT_EQ(list.GetCurSel(), 1);
  list.SendMessage(LCM_SETCURSEL, static_cast<WPARAM>(-1));
  CDataExchange save(&parent, TRUE);
  DDX_MenuList(&save, ListId, value);
  EXPECT_EQ(value, -1);
  list.ResetContent();
  EXPECT_EQ(list.GetCount(), 0);
}

class PickListTest : public ::testing::Test {
 protected:
  void Make(DWORD style, int height) {
    ASSERT_TRUE(
        list.Create(0, WS_CHILD | WS_VISIBLE | style, CRect(10, 10, 160, 10 + height), &parent, ListId));
    list.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(ANSI_VAR_FONT)), FALSE);
    TEXTMETRICA metrics = {};
    HDC dc = ::GetDC(list.m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(ANSI_VAR_FONT));
    ::GetTextMetricsA(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(list.m_hWnd, dc);
    line = metrics.tmHeight + metrics.tmExternalLeading;
  }
  LPARAM LinePoint(int row) const { return MAKELPARAM(20, row * line + line / 2); }

  CRecordingParent parent;
  CPickListCtl list;
  int line = 0;
};

TEST_F(PickListTest, ArrowKeysSkipSeparatorsAndStopAtTheEnds) {
  Make(0, 200);
  list.AddItem("A");
  list.AddItem(nullptr);
  list.AddItem("B", true);
  list.AddItem(nullptr);
  list.SendMessage(WM_KEYDOWN, VK_UP);
  EXPECT_EQ(list.GetCurSel(), 2) << "from no selection VK_UP takes the last selectable line";
  list.SendMessage(WM_KEYDOWN, VK_DOWN);
  EXPECT_EQ(list.GetCurSel(), 2);
  list.SendMessage(WM_KEYDOWN, VK_UP);
  EXPECT_EQ(list.GetCurSel(), 0);
  list.SendMessage(WM_KEYDOWN, VK_UP);
  EXPECT_EQ(list.GetCurSel(), 0);
  EXPECT_TRUE(parent.notifications.empty()) << "keys select without notifying";
  EXPECT_EQ(list.SendMessage(LCM_GETTEXTLEN), 2);
  char text[8] = {};
  EXPECT_EQ(list.SendMessage(LCM_GETTEXT, 0, reinterpret_cast<LPARAM>(text)), 1);
  EXPECT_STREQ(text, "A");
}

TEST_F(PickListTest, ClicksSelectAndNotifyInOrder) {
  Make(0, 200);
  list.AddItem("A");
  list.AddItem(nullptr);
  list.AddItem("B");
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, LinePoint(2));
  EXPECT_EQ(list.GetCurSel(), 2);
  EXPECT_EQ(parent.Codes(), (std::vector<int>{static_cast<int>(PICKN_CHANGED), static_cast<int>(NM_CLICK)}));
  parent.notifications.clear();
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, LinePoint(1));  // a separator
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, LinePoint(2));  // already selected: a click only
  list.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, LinePoint(2));
  list.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, LinePoint(0));  // not the selected line
  EXPECT_EQ(parent.Codes(), (std::vector<int>{static_cast<int>(NM_CLICK), static_cast<int>(NM_DBLCLK)}));
  EXPECT_EQ(list.SendMessage(LCM_SETCURSEL, 0), 0);
  EXPECT_EQ(parent.Codes().back(), static_cast<int>(PICKN_CHANGED));
}

TEST_F(PickListTest, ScrollingPagingAndTheScrollBar) {
  Make(0, 0);
  list.SetWindowPos(nullptr, 0, 0, 150, line * 4 + line / 2, SWP_NOMOVE | SWP_NOZORDER);
  for (const char* text : {"1", "2", "3"}) list.AddItem(text);
  EXPECT_EQ(list.GetVisibleRows(), 4);
  list.PageDown();
  EXPECT_EQ(list.GetTopIndex(), 0) << "a list shorter than its window never scrolls";
  list.PageUp();
  EXPECT_EQ(list.GetTopIndex(), 0);
  EXPECT_FALSE(list.IsScrollBarShown());
  for (int i = 4; i <= 10; ++i) list.AddItem(CString(std::to_string(i).c_str()));
  EXPECT_TRUE(list.IsScrollBarShown());
  list.PageDown();
  EXPECT_EQ(list.GetTopIndex(), 3);
  list.ScrollTo(100);
  EXPECT_EQ(list.GetTopIndex(), 6);
  list.PageUp();
  EXPECT_EQ(list.GetTopIndex(), 3);
  list.EnsureVisible(0);
  EXPECT_EQ(list.GetTopIndex(), 0);
  list.EnsureVisible(8);
  EXPECT_EQ(list.GetTopIndex(), 5);
  list.SendMessage(WM_VSCROLL, SB_LINEUP, reinterpret_cast<LPARAM>(::GetDlgItem(list.m_hWnd, 1)));
  EXPECT_EQ(list.GetTopIndex(), 4);
}

TEST_F(PickListTest, ValuesByIndexAndAnEmptyValueForABadIndex) {
  Make(0, 100);
  list.AddItem("A");
  VARIANT value;
  ::VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = 42;
  list.SetItemValue(0, value);
  list.SetItemValue(5, value);
  EXPECT_EQ(list.GetItemValue(0).vt, VT_I4);
  EXPECT_EQ(list.GetItemValue(0).lVal, 42);
  EXPECT_EQ(list.GetItemValue(5).vt, VT_EMPTY);
  EXPECT_STREQ(list.GetItemText(5), "");
}

TEST_F(PickListTest, TheGripNeverMakesTheListSmallerThanItselfAndEscapeRestores) {
  Make(CPickListCtl::GripStyle, 120);
  const int grip = ::GetSystemMetrics(SM_CXVSCROLL);
  CRect start;
  list.GetWindowRect(&start);
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.Width() - 2, start.Height() - 2));
  list.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(start.Width() - 2 - 500, start.Height() - 2 - 500));
  CRect rect;
  list.GetWindowRect(&rect);
  EXPECT_EQ(rect.Width(), grip);
  EXPECT_EQ(rect.Height(), grip);
  EXPECT_EQ(rect.TopLeft(), start.TopLeft());
  list.SendMessage(WM_CHAR, VK_ESCAPE);
  list.GetWindowRect(&rect);
  EXPECT_EQ(rect, start);
}

}  // namespace
