// Copying, clearing, pasting and sorting.
#include "GridTestSupport.h"

#include "GridTextDataObject.h"

#include <gtest/gtest.h>

#include <cstring>

using gridtest::Fixture;

namespace {

CString ReadText(IDataObject* data) {
  FORMATETC format{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (FAILED(data->GetData(&format, &medium))) return "(failed)";
  CString text(static_cast<const char*>(::GlobalLock(medium.hGlobal)));
  ::GlobalUnlock(medium.hGlobal);
  ::ReleaseStgMedium(&medium);
  return text;
}

IDataObject* TextObject(const char* text) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
  memcpy(::GlobalLock(block), text, strlen(text) + 1);
  ::GlobalUnlock(block);
  return new GridTextDataObject(block);
}

}  // namespace

TEST(GridClipboard, CopyWritesTabsLineFeedsAndBlanks) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  const char* texts[2][3] = {{"a", "", "c"}, {"d", "e", "f\rg"}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) g.SetItemText(r + 1, c + 1, texts[r][c]);
  EXPECT_EQ(g.CopyTextFromGrid(), nullptr);
  g.SetSelectedRange(1, 1, 2, 3);
  IDataObject* data = g.CopyTextFromGrid();
  ASSERT_NE(data, nullptr);
  EXPECT_STREQ(ReadText(data), "a\t \tc\nd\te\tf\xB6g");
  data->Release();
  g.SetItemState(2, 2, 0);  // an unselected cell keeps its tab positions
  EXPECT_STREQ(g.GetSelectedText(), "a\t \tc\nd\t\tf\xB6g");
  g.OnEditCopy();
  IDataObject* clip = nullptr;
  ASSERT_EQ(::OleGetClipboard(&clip), S_OK);
  EXPECT_STREQ(ReadText(clip), "a\t \tc\nd\t\tf\xB6g");
  clip->Release();
  ::OleSetClipboard(nullptr);
}

TEST(GridClipboard, PasteSplitsOnTabsAndCommas) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  for (int c = 1; c < 4; ++c) {
    GridItem item(0, c, GVIF_TYPE);
    item.type = gctInteger;
    g.SetColumnDefaults(c, item);
  }
  g.SetRowCount(8);
  IDataObject* data = TextObject("1,2\t3");
  ASSERT_TRUE(g.PasteTextToGrid(CellID(6, 1), data));
  data->Release();
  EXPECT_EQ(g.GetItemValue(6, 1).lVal, 1);
  EXPECT_EQ(g.GetItemValue(6, 2).lVal, 2);
  EXPECT_EQ(g.GetItemValue(6, 3).lVal, 3);
  EXPECT_TRUE(g.GetModified(6, 3));
  EXPECT_TRUE(g.PasteText(CellID(1, 1), "a\t\tb\n x \nlast"));
  EXPECT_STREQ(g.GetItemText(1, 2), "b");
  EXPECT_STREQ(g.GetItemText(2, 1), "x");
  EXPECT_STREQ(g.GetItemText(3, 1), "last");
  EXPECT_TRUE(g.PasteText(CellID(7, 1), "4\n5"));  // the last row takes only the first line
  EXPECT_EQ(g.GetItemValue(7, 1).lVal, 4);
  EXPECT_EQ(g.GetRowCount(), 8);
  g.SetItemReadOnly(5, 1, TRUE);
  EXPECT_FALSE(g.PasteText(CellID(5, 1), "9"));
}

TEST(GridClipboard, ClearSelectedCellsKeepsValues) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  g.SetItemText(1, 1, "x");
  COleVariant v(4L);
  g.SetItemValue(1, 1, &v);
  g.SetItemText(1, 2, "y");
  g.SetItemReadOnly(1, 2, TRUE);
  g.SetSelectedRange(1, 1, 1, 2);
  f.parent.records.clear();
  EXPECT_TRUE(g.ClearSelectedCells());
  EXPECT_STREQ(g.GetItemText(1, 1), "");
  EXPECT_EQ(g.GetItemValue(1, 1).lVal, 4);
  EXPECT_STREQ(g.GetItemText(1, 2), "y");
  EXPECT_EQ(f.parent.Count(GN_BEGINEDIT), 1);
}

TEST(GridClipboard, SortingIsNumericAndHeaderClicksReverse) {
  Fixture f(6, 3);
  CGridCtrl& g = *f.grid;
  GridItem item(0, 1, GVIF_TYPE);
  item.type = gctInteger;
  g.SetColumnDefaults(1, item);
  g.SetRowCount(1);
  const char* values[] = {"20", "-5", "", "3"};
  for (const char* v : values) {
    const int row = g.InsertRow(v);
    g.SetItemText(row, 1, v);
  }
  ASSERT_TRUE(g.SortByColumn(1, TRUE));
  EXPECT_STREQ(g.GetItemText(1, 1), "");
  EXPECT_STREQ(g.GetItemText(2, 1), "-5");
  EXPECT_STREQ(g.GetItemText(3, 1), "3");
  EXPECT_STREQ(g.GetItemText(4, 1), "20");
  EXPECT_EQ(f.parent.Count(GN_SORTBEGIN), 1);
  g.SetListMode(TRUE);
  f.Click(0, 1);  // the sort column after an ascending sort: descending
  EXPECT_FALSE(g.GetSortAscending());
  EXPECT_STREQ(g.GetItemText(1, 1), "20");
  f.Click(0, 2);
  EXPECT_TRUE(g.GetSortAscending());
  EXPECT_EQ(g.GetSortColumn(), 2);
  EXPECT_FALSE(g.SortRows(5, TRUE));
}
