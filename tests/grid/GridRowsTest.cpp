// Rows and columns: counts, insert, delete, swap, row data, the new-row line.
#include "GridTestSupport.h"

#include <gtest/gtest.h>

using gridtest::Fixture;

TEST(GridRows, InsertMovesFocusSelectionAndData) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  COleVariant data(7LL);
  g.SetRowData(3, &data);
  g.SetFocusCell(3, 1);
  g.SetSelectedRange(3, 2, 3, 2);
  EXPECT_EQ(g.InsertRow("new", 2), 2);
  EXPECT_EQ(g.GetFocusCell(), CellID(4, 1));
  EXPECT_EQ(g.GetSelectedCellRange(), CellRange(4, 2, 4, 2));
  EXPECT_EQ(g.GetRowData(4).llVal, 7);
  EXPECT_STREQ(g.GetItemText(2, 0), "new");
  EXPECT_EQ(g.InsertRow("same", 4), 4);  // at the focus row: the focus index stays
  EXPECT_EQ(g.GetFocusCell(), CellID(4, 1));
  EXPECT_EQ(g.InsertRow("x", 99), -1);
  f.parent.records.clear();
  EXPECT_TRUE(g.DeleteRow(4));
  EXPECT_EQ(g.GetFocusCell(), CellID(-1, -1));
  EXPECT_EQ(f.parent.records.front().code, GN_DELETEROW);
  EXPECT_EQ(f.parent.Count(GN_DELETECELL), 4);
  EXPECT_EQ(g.GetSelectedCellRange(), CellRange(4, 2, 4, 2));
}

TEST(GridRows, ShrinkingReportsEveryRowAndCell) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  f.parent.records.clear();
  g.SetRowCount(4);
  std::vector<int> rows;
  for (const auto& r : f.parent.records)
    if (r.code == GN_DELETEROW) rows.push_back(r.row);
  EXPECT_EQ(rows, (std::vector<int>{4, 5}));
  EXPECT_EQ(f.parent.Count(GN_DELETECELL), 8);
  g.SetColumnCount(0);
  EXPECT_EQ(g.GetCell(1, 0), nullptr);
  EXPECT_EQ(g.InsertRow("back"), 4);
  EXPECT_EQ(g.GetColumnCount(), 1);
}

TEST(GridRows, FixedCountsAndNewRowLine) {
  Fixture f(0, 0, 0, 0);
  CGridCtrl& g = *f.grid;
  g.SetFixedRowCount(2);
  EXPECT_EQ(g.GetRowCount(), 2);
  g.SetColumnCount(2);
  g.SetNewRowLine(TRUE);
  EXPECT_EQ(g.GetRowCount(), 3);
  EXPECT_EQ(g.InsertRow("a", -1), 2);
  EXPECT_EQ(g.GetRowCount(FALSE), 3);
  EXPECT_FALSE(g.DeleteRow(3));  // the new-row line cannot be deleted
  g.DeleteNonFixedRows();
  EXPECT_EQ(g.GetRowCount(), 3);
  EXPECT_EQ(g.GetFixedRowCount(), 2);
}

TEST(GridRows, SwapCarriesEverything) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  g.SetItemText(1, 1, "one");
  g.SetItemText(2, 1, "two");
  COleVariant data(3L);
  g.SetRowData(1, &data);
  g.SetRowHeight(1, 33);
  g.SetFocusCell(1, 1);
  g.SwapRows(1, 2);
  EXPECT_STREQ(g.GetItemText(2, 1), "one");
  EXPECT_EQ(g.GetRowData(2).lVal, 3);
  EXPECT_EQ(g.GetRowHeight(2), 33);
  EXPECT_EQ(g.GetFocusCell(), CellID(2, 1));
}
