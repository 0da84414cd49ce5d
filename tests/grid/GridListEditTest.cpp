// The list editor: the column's pick list dropped down under the cell as a pick-list control,
// driven by messages as the operator's keys and mouse would, and the record it sends the grid.
#include "GridTestSupport.h"

#include "ControlClasses.h"
#include "MenuListCtl.h"
#include "PickListCtl.h"

#include <gtest/gtest.h>

#include <string>

using gridtest::Fixture;

namespace {

HWND Editor(CGridCtrl& g) { return ::GetDlgItem(g.m_hWnd, GRID_EDITOR_ID); }

// The records editors send the grid (WM_NOTIFY from control 8), seen before the grid acts on them.
struct EditorRecords {
  static inline WNDPROC previous = nullptr;
  static inline std::vector<GridEditNotify> records;
  static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && wParam == GRID_EDITOR_ID)
      records.push_back(*reinterpret_cast<const GridEditNotify*>(lParam));
    return ::CallWindowProcA(previous, hWnd, message, wParam, lParam);
  }
  explicit EditorRecords(CGridCtrl& g) {
    records.clear();
    previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(g.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
};

void SetCtrl(bool down) {
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

class GridListEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ControlClasses::RegisterPickListClass();
    for (int i = 0; i < 30; ++i)
      list.Add(COleVariant(static_cast<long>(i * 10)), CString("entry ") + std::to_string(i).c_str());
    g.SetColumnPickList(1, list);
    for (int row = 1; row < 6; ++row) {
      GridItem item(row, 1, GVIF_TYPE);
      item.type = gctPickList;
      g.SetItem(item);
      COleVariant value(static_cast<long>(row * 10));
      g.SetItemValue(row, 1, &value);
    }
  }
  void TearDown() override { SetCtrl(false); }

  // Opens the list on the cell as a click does; the popup has the focus.
  HWND Open(int row) {
    g.SetFocusCell(row, 1);
    g.BeginEdit(row, 1, 1);
    HWND popup = ::GetFocus();
    EXPECT_NE(Editor(g), nullptr);
    EXPECT_NE(popup, g.m_hWnd);
    return popup;
  }
  int Selected(HWND popup) { return static_cast<int>(::SendMessageA(popup, LCM_GETCURSEL, 0, 0)); }
  std::string SelectedText(HWND popup) {
    char text[64] = {};
    if (::SendMessageA(popup, LCM_GETTEXTLEN, 0, 0) <= static_cast<LRESULT>(sizeof(text)))
      ::SendMessageA(popup, LCM_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return text;
  }
  LPARAM LinePoint(HWND popup, int line) {
    auto* pick = static_cast<CPickListCtl*>(CWnd::FromHandlePermanent(popup));
    CRect client;
    ::GetClientRect(popup, &client);
    const int height = client.Height() / std::max(1, pick->GetVisibleRows());
    return MAKELPARAM(5, line * height + height / 2);
  }

  Fixture f;
  CGridCtrl& g = *f.grid;
  GridCellRow list;
};

TEST_F(GridListEditTest, ThePopupIsADropDownPickListUnderTheCell) {
  HWND popup = Open(2);
  char className[64] = {};
  ::GetClassNameA(popup, className, sizeof(className));
  EXPECT_STREQ(className, "bxqPickListCtl");
  const LONG style = ::GetWindowLongA(popup, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_TRUE(style & WS_BORDER);
  EXPECT_TRUE(style & 1) << "drop-down behaviour";
  EXPECT_FALSE(::IsWindowVisible(Editor(g))) << "the hidden child stands for the editor";
  const HWND owner = ::GetWindow(popup, GW_OWNER);
  EXPECT_TRUE(owner == g.m_hWnd || owner == ::GetAncestor(g.m_hWnd, GA_ROOT)) << "owned by the grid";
  RECT cell{};
  ASSERT_TRUE(g.GetCellRect(2, 1, &cell));
  POINT corner{cell.left, cell.bottom};
  ::ClientToScreen(g.m_hWnd, &corner);
  RECT window{};
  ::GetWindowRect(popup, &window);
  EXPECT_EQ(window.left, corner.x);
  EXPECT_EQ(window.top, corner.y);
  EXPECT_EQ(window.bottom - window.top, 4 * (cell.bottom - cell.top + 1));
  EXPECT_GE(window.right - window.left, cell.right - cell.left + 1);
  EXPECT_GE(window.right - window.left, ::GetSystemMetrics(SM_CXVSCROLL)) << "room for the scroll bar";
  EXPECT_EQ(Selected(popup), 2) << "starts on the cell's value";
  EXPECT_EQ(SelectedText(popup), "entry 2");
  ::SendMessageA(popup, WM_CHAR, VK_ESCAPE, 0);
  f.Pump();
}

TEST_F(GridListEditTest, KeysMoveByEntryAndPageAndEndWithTheirKey) {
  EditorRecords seen(g);
  HWND popup = Open(3);
  ::SendMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(Selected(popup), 4);
  ::SendMessageA(popup, WM_KEYDOWN, VK_UP, 0);
  ::SendMessageA(popup, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(Selected(popup), 2);
  auto* pick = static_cast<CPickListCtl*>(CWnd::FromHandlePermanent(popup));
  const int page = std::max(1, pick->GetVisibleRows() - 1);
  ::SendMessageA(popup, WM_KEYDOWN, VK_NEXT, 0);
  EXPECT_EQ(Selected(popup), 2 + page) << "Page Down moves the selection a page";
  for (int i = 0; i < 3; ++i) ::SendMessageA(popup, WM_KEYDOWN, VK_PRIOR, 0);
  EXPECT_EQ(Selected(popup), 0);
  ::SendMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
  ::SendMessageA(popup, WM_CHAR, VK_RETURN, 0);
  f.Pump();
  EXPECT_EQ(Editor(g), nullptr);
  EXPECT_FALSE(::IsWindow(popup));
  ASSERT_EQ(seen.records.size(), 1u);
  EXPECT_EQ(seen.records[0].item.mask, 0x1002u);
  EXPECT_EQ(seen.records[0].item.userValue, VK_RETURN);
  EXPECT_EQ(g.GetItemValue(3, 1).lVal, 10);
  EXPECT_STREQ(g.GetItemText(3, 1), "entry 1");

  // Left, Right and, with Ctrl, the four paging keys end editing with their key
  const UINT ending[] = {VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT, VK_UP, VK_DOWN};
  for (UINT key : ending) {
    SCOPED_TRACE(key);
    seen.records.clear();
    popup = Open(3);
    const bool ctrl = key != VK_LEFT && key != VK_RIGHT;
    SetCtrl(ctrl);
    ::SendMessageA(popup, WM_KEYDOWN, key, 0);
    SetCtrl(false);
    f.Pump();
    ASSERT_FALSE(seen.records.empty());
    EXPECT_EQ(seen.records[0].item.userValue, static_cast<int>(key));
    if (::IsWindow(popup)) ::SendMessageA(popup, WM_CHAR, VK_ESCAPE, 0);
    if (Editor(g) != nullptr) g.EndEditing();
    f.Pump();
  }
}

TEST_F(GridListEditTest, EscapeReselectsTheStartingEntry) {
  EditorRecords seen(g);
  HWND popup = Open(4);
  ::SendMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
  ::SendMessageA(popup, WM_CHAR, VK_ESCAPE, 0);
  EXPECT_TRUE(!::IsWindow(popup) || Selected(popup) == 4);
  f.Pump();
  ASSERT_EQ(seen.records.size(), 1u);
  EXPECT_EQ(seen.records[0].item.userValue, 27);
  EXPECT_EQ(g.GetItemValue(4, 1).lVal, 40);
  EXPECT_FALSE(g.GetModified(4, 1));
  EXPECT_EQ(f.parent.Count(GN_ENDEDIT), 1) << "the owner still hears of the end";
}

TEST_F(GridListEditTest, HoverSelectsWithoutActivatingAndAClickAccepts) {
  EditorRecords seen(g);
  HWND popup = Open(1);
  auto* pick = static_cast<CPickListCtl*>(CWnd::FromHandlePermanent(popup));
  EXPECT_EQ(::SendMessageA(popup, WM_MOUSEACTIVATE, 0, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)), MA_NOACTIVATE);
  ::SendMessageA(popup, WM_MOUSEMOVE, 0, LinePoint(popup, 2));
  EXPECT_EQ(Selected(popup), 2) << "hovering selects";
  EXPECT_TRUE(::IsWindow(popup)) << "but accepts nothing";
  EXPECT_TRUE(seen.records.empty());
  ::SendMessageA(popup, WM_LBUTTONDOWN, MK_LBUTTON, LinePoint(popup, 3));
  f.Pump();
  ASSERT_EQ(seen.records.size(), 1u);
  EXPECT_EQ(seen.records[0].item.userValue, VK_RETURN);
  EXPECT_EQ(g.GetItemValue(1, 1).lVal, 30);

  seen.records.clear();
  popup = Open(1);
  pick = static_cast<CPickListCtl*>(CWnd::FromHandlePermanent(popup));
  ::SendMessageA(popup, WM_LBUTTONDBLCLK, MK_LBUTTON,
                 LinePoint(popup, Selected(popup) - pick->GetTopIndex()));
  f.Pump();
  EXPECT_EQ(seen.records.size(), 1u);
  EXPECT_EQ(seen.records.empty() ? 0 : seen.records[0].item.userValue, VK_RETURN);
}

TEST_F(GridListEditTest, CtrlClickOnATextCellOffersThePickListsTexts) {
  EditorRecords seen(g);
  g.BeginEdit(2, 2, 1);  // a text cell of a column without a list: the text editor
  ASSERT_NE(Editor(g), nullptr);
  char className[64] = {};
  ::GetClassNameA(::GetFocus(), className, sizeof(className));
  EXPECT_STRCASEEQ(className, "Edit");
  g.EndEditing();
  f.Pump();
  seen.records.clear();

  GridItem text(5, 1, GVIF_TYPE);
  text.type = gctText;
  g.SetItem(text);
  g.SetItemText(5, 1, "entry 7");
  g.SetFocusCell(5, 1);
  SetCtrl(true);
  g.BeginEdit(5, 1, 1);
  SetCtrl(false);
  HWND popup = ::GetFocus();
  ::GetClassNameA(popup, className, sizeof(className));
  EXPECT_STREQ(className, "bxqPickListCtl");
  EXPECT_EQ(Selected(popup), 7) << "starts on the entry with the cell's text";
  ::SendMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
  ::SendMessageA(popup, WM_CHAR, VK_TAB, 0);
  f.Pump();
  ASSERT_FALSE(seen.records.empty());
  EXPECT_EQ(seen.records[0].item.mask, 0x1001u);
  EXPECT_STREQ(seen.records[0].item.text, "entry 8");
  EXPECT_STREQ(g.GetItemText(5, 1), "entry 8");
  EXPECT_EQ(g.GetFocusCell(), CellID(5, 2)) << "Tab moves on";
  if (Editor(g) != nullptr) g.EndEditing();
  f.Pump();

  // Escape with no starting entry stores no text
  seen.records.clear();
  g.SetItemText(4, 2, "");
  SetCtrl(true);
  GridItem plain(4, 1, GVIF_TYPE);
  plain.type = gctText;
  g.SetItem(plain);
  g.SetItemText(4, 1, "not listed");
  g.BeginEdit(4, 1, 1);
  SetCtrl(false);
  popup = ::GetFocus();
  EXPECT_EQ(Selected(popup), -1);
  ::SendMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
  ::SendMessageA(popup, WM_CHAR, VK_ESCAPE, 0);
  f.Pump();
  ASSERT_FALSE(seen.records.empty());
  EXPECT_TRUE(seen.records[0].item.noText);
}

TEST_F(GridListEditTest, ThousandsOfEntriesOpenAndScrollToTheStart) {
  GridCellRow many;
  for (int i = 0; i < 5000; ++i)
    many.Add(COleVariant(static_cast<long>(i)), CString("value ") + std::to_string(i).c_str());
  g.SetColumnPickList(1, many);
  COleVariant value(4321L);
  g.SetItemValue(2, 1, &value);
  HWND popup = Open(2);
  auto* pick = static_cast<CPickListCtl*>(CWnd::FromHandlePermanent(popup));
  EXPECT_EQ(pick->GetCount(), 5000);
  EXPECT_EQ(Selected(popup), 4321);
  EXPECT_LE(pick->GetTopIndex(), 4321);
  EXPECT_GT(pick->GetTopIndex() + pick->GetVisibleRows(), 4321) << "the starting entry is in view";
  EXPECT_TRUE(pick->IsScrollBarShown());
  ::SendMessageA(popup, WM_CHAR, VK_ESCAPE, 0);
  f.Pump();
}

}  // namespace
