// In-place editing: editors, their end-of-edit records, check and toggle cells, moving on.
#include "GridTestSupport.h"

#include <gtest/gtest.h>

using gridtest::Fixture;

namespace {

HWND Editor(CGridCtrl& g) { return ::GetDlgItem(g.m_hWnd, GRID_EDITOR_ID); }

CString EditorText(CGridCtrl& g) {
  char buffer[256] = {};
  ::GetWindowTextA(Editor(g), buffer, sizeof(buffer));
  return buffer;
}

void Type(HWND editor, UINT ch) { ::SendMessageA(editor, WM_CHAR, ch, 0); }

void SetType(CGridCtrl& g, int row, int col, int type, const VARIANT* value = nullptr) {
  GridItem item(row, col, GVIF_TYPE);
  item.type = type;
  g.SetItem(item);
  if (value != nullptr) g.SetItemValue(row, col, value);
}

}  // namespace

TEST(GridEdit, TypingReplacesTheTextAndEnterStoresIt) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  g.SetItemText(1, 1, "old");
  g.SetFocusCell(1, 1);
  g.SendMessage(WM_CHAR, 'n', 0);
  HWND editor = Editor(g);
  ASSERT_NE(editor, nullptr);
  EXPECT_STREQ(EditorText(g), "n");
  Type(editor, 'e');
  Type(editor, 'w');
  Type(editor, VK_RETURN);
  f.Pump();
  EXPECT_EQ(Editor(g), nullptr);
  EXPECT_STREQ(g.GetItemText(1, 1), "new");
  EXPECT_TRUE(g.GetModified(1, 1));
  const auto codes = f.parent.Codes();
  EXPECT_EQ(f.parent.Count(GN_BEGINEDIT), 1);
  EXPECT_EQ(f.parent.Count(GN_ENDEDIT), 1);
  EXPECT_EQ(g.GetFocusCell(), CellID(1, 1));  // Enter does not move on
}

TEST(GridEdit, EscapeKeepsTheCellButStillReports) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  g.SetItemText(1, 1, "same");
  g.SetFocusCell(1, 1);
  g.SendMessage(WM_KEYDOWN, VK_F2, 0);
  HWND editor = Editor(g);
  ASSERT_NE(editor, nullptr);
  EXPECT_STREQ(EditorText(g), "same");  // F2 selects without changing
  Type(editor, 'x');
  Type(editor, VK_ESCAPE);
  f.Pump();
  EXPECT_STREQ(g.GetItemText(1, 1), "same");
  EXPECT_FALSE(g.GetModified(1, 1));
  EXPECT_EQ(f.parent.Count(GN_ENDEDIT), 1);
}

TEST(GridEdit, IntegerFilterAndBackspaceStart) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  SetType(g, 1, 1, gctInteger);
  g.SetItemText(1, 1, "123");
  g.BeginEdit(1, 1, 'x');  // refused: the text stays selected, nothing typed
  EXPECT_STREQ(EditorText(g), "123");
  Type(Editor(g), '5');
  EXPECT_STREQ(EditorText(g), "5");
  Type(Editor(g), VK_RETURN);
  f.Pump();
  EXPECT_EQ(g.GetItemValue(1, 1).lVal, 5);
  g.BeginEdit(1, 1, VK_BACK);
  EXPECT_STREQ(EditorText(g), "");
  g.EndEditing();
  f.Pump();
  EXPECT_EQ(g.GetItemValue(1, 1).vt, VT_EMPTY);
}

TEST(GridEdit, ShiftEnterInAStringCellInsertsALineBreak) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  SetType(g, 1, 1, gctString);
  g.SetItemText(1, 1, "ab");
  g.BeginEdit(1, 1, VK_RETURN);  // caret at the end
  HWND editor = Editor(g);
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  ::SetKeyboardState(keys);
  ::SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
  Type(editor, VK_RETURN);
  keys[VK_SHIFT] = 0;
  ::SetKeyboardState(keys);
  ::SendMessageA(editor, WM_KEYUP, VK_RETURN, 0);
  Type(editor, 'c');
  g.EndEditing();
  f.Pump();
  EXPECT_STREQ(g.GetItemText(1, 1), "ab\rc");
  EXPECT_EQ(g.GetItemValue(1, 1).vt, VT_BSTR);
}

TEST(GridEdit, TabMovesOnAndSkipsReadOnlyCells) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  g.SetItemReadOnly(1, 2, TRUE);
  g.SetFocusCell(1, 1);
  g.BeginEdit(1, 1, 0);
  Type(Editor(g), VK_TAB);
  f.Pump();
  EXPECT_EQ(g.GetFocusCell(), CellID(1, 3));
  ASSERT_NE(Editor(g), nullptr);
  Type(Editor(g), VK_TAB);  // the end of the row: the next row's first column
  f.Pump();
  EXPECT_EQ(g.GetFocusCell(), CellID(2, 1));
  g.EndEditing();
  f.Pump();
  g.BeginEdit(1, 2, 'x');  // read-only: no editor, nothing reported
  EXPECT_EQ(Editor(g), nullptr);
}

TEST(GridEdit, CheckAndToggleCells) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  COleVariant off(static_cast<short>(VARIANT_FALSE), VT_BOOL);
  SetType(g, 1, 1, gctCheck, &off);
  SetType(g, 2, 1, gctCheck);  // VT_EMPTY: no box, clicks ignored
  SetType(g, 3, 1, gctToggle, &off);
  g.BeginEdit(1, 1, 1);
  EXPECT_EQ(g.GetItemValue(1, 1).boolVal, VARIANT_TRUE);
  EXPECT_TRUE(g.GetModified(1, 1));
  g.BeginEdit(1, 1, 'a');
  EXPECT_EQ(g.GetItemValue(1, 1).boolVal, VARIANT_TRUE);
  g.BeginEdit(2, 1, 1);
  EXPECT_EQ(g.GetItemValue(2, 1).vt, VT_EMPTY);
  f.parent.records.clear();
  g.BeginEdit(3, 1, '-');  // already false: nothing
  EXPECT_TRUE(f.parent.records.empty());
  g.BeginEdit(3, 1, '+');
  EXPECT_EQ(g.GetItemValue(3, 1).boolVal, VARIANT_TRUE);
  EXPECT_EQ(f.parent.Codes(), (std::vector<int>{GN_BEGINEDIT, GN_ENDEDIT}));
  // F2 (a space) toggles a check cell
  g.SetFocusCell(1, 1);
  g.SendMessage(WM_KEYDOWN, VK_F2, 0);
  EXPECT_EQ(g.GetItemValue(1, 1).boolVal, VARIANT_FALSE);
}

TEST(GridEdit, ClickingTheFocusCellStartsEditing) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  f.Click(2, 2);
  EXPECT_EQ(Editor(g), nullptr);
  f.Click(2, 2);
  EXPECT_NE(Editor(g), nullptr);
  g.EndEditing();
  f.Pump();
  EXPECT_EQ(Editor(g), nullptr);
}

TEST(GridEdit, EditingTheNewRowLineAddsALine) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  g.SetNewRowLine(TRUE);
  const int rows = g.GetRowCount();
  EXPECT_EQ(g.GetRowCount(FALSE), rows - 1);
  g.BeginEdit(rows - 1, 1, 'z');
  Type(Editor(g), VK_RETURN);
  f.Pump();
  EXPECT_EQ(g.GetRowCount(), rows + 1);
  EXPECT_STREQ(g.GetItemText(rows - 1, 1), "z");
}

TEST(GridEdit, DestroyingTheGridWithAnOpenEditorStoresItsText) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  g.BeginEdit(1, 1, 'q');
  ASSERT_NE(Editor(g), nullptr);
  f.parent.records.clear();
  g.DestroyWindow();
  f.Pump();
  // the editor reported before the rows went: -106 first, then -128 for every row
  ASSERT_FALSE(f.parent.records.empty());
  EXPECT_EQ(f.parent.records.front().code, GN_ENDEDIT);
  EXPECT_EQ(f.parent.Count(GN_DELETEROW), 6);
  EXPECT_EQ(g.GetCell(1, 1), nullptr);
}
