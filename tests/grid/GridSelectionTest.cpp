// Focus, selection, mouse and keyboard.
#include "GridTestSupport.h"

#include <gtest/gtest.h>

using gridtest::Fixture;

namespace {
void Key(CGridCtrl& g, UINT key) { g.SendMessage(WM_KEYDOWN, key, 0); }
}  // namespace

TEST(GridSelection, FocusNotificationsCarryBothCells) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  g.SetFocusCell(1, 1);
  f.parent.records.clear();
  g.SetFocusCell(2, 3);
  ASSERT_EQ(f.parent.records.size(), 2u);
  const auto& a = f.parent.records[0];
  const auto& b = f.parent.records[1];
  EXPECT_EQ(a.code, GN_FOCUSCHANGING);
  EXPECT_EQ(CellID(a.row, a.col), CellID(1, 1));
  EXPECT_EQ(CellID(a.prevRow, a.prevCol), CellID(2, 3));
  EXPECT_EQ(b.code, GN_FOCUSCHANGED);
  EXPECT_EQ(CellID(b.row, b.col), CellID(2, 3));
  EXPECT_EQ(g.GetItemState(2, 3) & GVIS_FOCUSED, GVIS_FOCUSED);
  EXPECT_EQ(g.GetItemState(1, 1) & GVIS_FOCUSED, 0u);
}

TEST(GridSelection, ClickSelectsAndReports) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  f.Click(2, 2);
  EXPECT_EQ(g.GetFocusCell(), CellID(2, 2));
  EXPECT_EQ(g.GetSelectedCellRange(), CellRange(2, 2, 2, 2));
  EXPECT_EQ(f.parent.records.front().code, NM_CLICK);
  EXPECT_GE(f.parent.Count(GN_SELCHANGED), 1);
  ASSERT_FALSE(f.parent.commands.empty());
  EXPECT_EQ(LOWORD(f.parent.commands.back()), 77);
  // Shift+click extends from the selection start
  const CPoint p = f.CellCentre(4, 3);
  g.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(p.x, p.y));
  g.SendMessage(WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(p.x, p.y));
  EXPECT_EQ(g.GetSelectedCellRange(), CellRange(2, 2, 4, 3));
  // a click on the fixed column selects the row; on the corner everything
  f.Click(3, 0);
  EXPECT_EQ(g.GetSelectedCellRange(), CellRange(3, 1, 3, 3));
  f.Click(0, 0);
  EXPECT_EQ(g.GetSelectedCellRange(), CellRange(1, 1, 5, 3));
}

TEST(GridSelection, HeaderClicksOffChangeNothing) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  g.SetHeaderSort(FALSE);
  f.Click(2, 2);
  f.Click(0, 2);
  EXPECT_EQ(g.GetSelectedCellRange(), CellRange(2, 2, 2, 2));
  EXPECT_EQ(g.GetFocusCell(), CellID(2, 2));
}

TEST(GridSelection, ArrowsTabAndHomeEnd) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  f.Click(1, 1);
  Key(g, VK_DOWN);
  Key(g, VK_RIGHT);
  EXPECT_EQ(g.GetFocusCell(), CellID(2, 2));
  EXPECT_EQ(g.GetSelectedCellRange(), CellRange(2, 2, 2, 2));
  Key(g, VK_END);
  EXPECT_EQ(g.GetFocusCell(), CellID(2, 3));
  Key(g, VK_TAB);  // from the last column to the first non-fixed one of the next row
  EXPECT_EQ(g.GetFocusCell(), CellID(3, 1));
  Key(g, VK_HOME);
  EXPECT_EQ(g.GetFocusCell(), CellID(3, 1));
  Key(g, VK_UP);
  Key(g, VK_UP);
  Key(g, VK_UP);  // stops below the fixed row
  EXPECT_EQ(g.GetFocusCell(), CellID(1, 1));
  g.SetFocusCell(5, 3);
  Key(g, VK_TAB);  // the last cell: no move
  EXPECT_EQ(g.GetFocusCell(), CellID(5, 3));
  // a hidden last column: End stays on the last visible one
  g.SetColumnWidth(3, 0);
  g.SetFocusCell(2, 1);
  Key(g, VK_END);
  EXPECT_EQ(g.GetFocusCell().row, 2);
  EXPECT_EQ(f.parent.Count(GN_KEYDOWN), 10);
}

TEST(GridSelection, ShiftArrowsExtendTheSelection) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  f.Click(1, 1);
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  ::SetKeyboardState(keys);
  Key(g, VK_DOWN);
  Key(g, VK_RIGHT);
  keys[VK_SHIFT] = 0;
  ::SetKeyboardState(keys);
  EXPECT_EQ(g.GetSelectedCellRange(), CellRange(1, 1, 2, 2));
}

TEST(GridSelection, ListModeRowsAndCtrlClick) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  g.SetListMode(TRUE);
  g.SetSingleRowSelection(TRUE);
  f.Click(2, 2);
  EXPECT_TRUE(g.IsRowSelected(2));
  EXPECT_GE(f.parent.Count(GN_ROWSELCHANGED), 1);
  f.Click(3, 1);
  EXPECT_FALSE(g.IsRowSelected(2));
  EXPECT_TRUE(g.IsRowSelected(3));
  EXPECT_EQ(g.GetSelectedRowRange(), CellRange(3, -1, 3, -1));
  f.Click(3, 1, MK_CONTROL);  // Ctrl+click on the selected row deselects it and drops the focus
  EXPECT_FALSE(g.IsRowSelected(3));
  EXPECT_EQ(g.GetFocusCell(), CellID(-1, -1));
}

TEST(GridSelection, DraggingAColumnDividerResizesTheColumn) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  for (int c = 0; c < 4; ++c) g.SetColumnWidth(c, 50);
  const int y = g.GetDefaultRowHeight() / 2;
  // resizing is off by default: the header click selects the column instead
  g.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(99, y));
  EXPECT_EQ(g.GetMouseMode(), 0);
  g.EnableColumnResize(TRUE);
  g.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(99, y));
  EXPECT_EQ(g.GetMouseMode(), 8);
  g.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(99, y));
  EXPECT_EQ(g.GetMouseMode(), 9);
  g.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(120, y));
  g.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(120, y));
  EXPECT_EQ(g.GetColumnWidth(1), 70);
  EXPECT_EQ(g.GetMouseMode(), 0);
  EXPECT_FALSE(g.IsValid(g.GetSelectedCellRange()));
}
