// Layout, painting and scrolling.
#include "GridTestSupport.h"

#include <gtest/gtest.h>

using gridtest::Fixture;

TEST(GridLayout, FontMetricsAndGeometry) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  EXPECT_GT(g.GetMargin(), 0);
  EXPECT_GT(g.GetDefaultRowHeight(), 0);
  const int h = g.GetDefaultRowHeight();
  EXPECT_EQ(g.GetRowHeight(3), h);
  for (int c = 0; c < 4; ++c) g.SetColumnWidth(c, 50);
  RECT rect;
  ASSERT_TRUE(g.GetCellRect(2, 1, &rect));
  EXPECT_EQ(rect.left, 50);
  EXPECT_EQ(rect.top, 2 * h);
  EXPECT_EQ(rect.right, 99);
  EXPECT_EQ(g.GetCellFromPt(CPoint(75, 2 * h + 1)), CellID(2, 1));
  EXPECT_EQ(g.GetCellFromPt(CPoint(10, 1), FALSE), CellID(-1, -1));
  EXPECT_EQ(g.GetCellFromPt(CPoint(10, 1), TRUE), CellID(0, 0));
  EXPECT_EQ(g.GetCellFromPt(CPoint(75, 190)).row, -1);  // below the last row
  EXPECT_FALSE(g.SetRowHeight(99, 5));
  EXPECT_FALSE(g.SetColumnWidth(1, -1));
}

TEST(GridLayout, StretchModes) {
  Fixture f(3, 4, 0, 0);
  CGridCtrl& g = *f.grid;
  RECT client;
  g.GetClientRect(&client);
  for (int c = 0; c < 4; ++c) g.SetColumnWidth(c, 20);
  ASSERT_TRUE(g.SetStretchColumn(-1));
  EXPECT_EQ(g.GetColumnWidth(3), client.right - 60);
  g.SetColumnCount(3);  // the stretch column went away: stretching stops
  g.SetColumnWidth(2, 20);
  g.ExpandColumns();
  EXPECT_EQ(g.GetColumnWidth(2), 20);

  g.SetColumnWidth(0, 50);
  g.SetColumnWidth(1, 100);
  g.SetColumnWidth(2, 50);
  g.SetStretchAllColumns();
  const int total = g.GetColumnWidth(0) + g.GetColumnWidth(1) + g.GetColumnWidth(2);
  EXPECT_EQ(total, client.right);
  EXPECT_EQ(g.GetColumnWidth(1), client.right / 2);
}

TEST(GridLayout, ScrollBarsAndLineScrolling) {
  Fixture f(3, 4);
  CGridCtrl& g = *f.grid;
  EXPECT_FALSE(g.GetStyle() & WS_VSCROLL);  // everything fits
  g.SetRowCount(40);
  EXPECT_TRUE(g.GetStyle() & WS_VSCROLL);
  g.SetRowHeight(1, 0);  // a hidden row never starts the visible range
  EXPECT_EQ(g.GetTopleftNonFixedCell().row, 2);
  g.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(g.GetTopleftNonFixedCell().row, 3);
  g.EnsureVisible(30, 1);
  EXPECT_TRUE(g.IsCellVisible(30, 1));
  g.SendMessage(WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(g.GetTopleftNonFixedCell().row, 2);
  EXPECT_FALSE(g.IsCellVisible(35, 1));
}

TEST(GridLayout, WheelLinesZeroScrollsNothing) {
  Fixture f(40, 4);
  CGridCtrl& g = *f.grid;
  g.SetWheelScrollLines(0);
  g.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  f.Pump();
  EXPECT_EQ(g.GetTopleftNonFixedCell().row, 1);
  g.SetWheelScrollLines(3);
  g.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  f.Pump();
  EXPECT_EQ(g.GetTopleftNonFixedCell().row, 4);
}

TEST(GridLayout, PaintsEveryCellTypeWithoutFault) {
  Fixture f(6, 4);
  CGridCtrl& g = *f.grid;
  const int types[] = {gctCheck, gctToggle, gctAction};
  for (int i = 0; i < 3; ++i) {
    GridItem item(i + 1, 1, GVIF_TYPE | GVIF_VALUE | GVIF_TEXT);
    item.type = types[i];
    item.value = COleVariant(static_cast<short>(VARIANT_TRUE), VT_BOOL);
    item.text = i == 0 ? "" : "label";
    g.SetItem(item);
  }
  g.SetItemText(0, 1, "Heading");
  g.SetItemText(4, 2, "a\rb");
  g.SetItemState(4, 2, GVIS_SELECTED | GVIS_FRAMED);
  g.SetFocusCell(5, 3);
  g.UpdateWindow();
  f.Pump();
  EXPECT_EQ(f.parent.Count(GN_DRAWCELL), 1);  // the action cell asked its owner to draw
  // the off-screen copy reached the window: the fixed strip shows the button face
  HDC dc = ::GetDC(g.m_hWnd);
  EXPECT_EQ(::GetPixel(dc, 5, g.GetDefaultRowHeight() * 3 + 3), ::GetSysColor(COLOR_BTNFACE));
  ::ReleaseDC(g.m_hWnd, dc);
  g.EnableWindow(FALSE);
  g.UpdateWindow();
  g.SetDoubleBuffering(FALSE);
  g.EnableWindow(TRUE);
  g.UpdateWindow();
  EXPECT_TRUE(g.AutoSizeColumn(2));
  EXPECT_GT(g.GetColumnWidth(2), 0);
}
