// Cells, columns and values: text/value conversions by type, items, pick lists, modified flags.
#include "GridTestSupport.h"

#include "LocaleFormat.h"

#include <gtest/gtest.h>

using gridtest::Fixture;

namespace {

void SetColumnType(CGridCtrl& grid, int col, int type, int decimals = 0) {
  GridItem defaults(0, col, GVIF_TYPE);
  defaults.type = type;
  defaults.typeParam = decimals;
  grid.SetColumnDefaults(col, defaults);
}

}  // namespace

TEST(GridValues, TextToValueByType) {
  struct Case {
    int type;
    const char* text;
    VARTYPE vt;
  } cases[] = {
      {gctString, "", VT_EMPTY},    {gctString, "abc", VT_BSTR},       {gctInteger, "", VT_EMPTY},
      {gctInteger, "12abc", VT_I4}, {gctReal, "2.5", VT_R8},           {gctText, "7", VT_EMPTY},
      {gctCheck, "1", VT_EMPTY},    {gctDate, "not a date", VT_EMPTY}, {gctCurrency, "zz", VT_EMPTY}};
  for (const Case& c : cases) {
    COleVariant value;
    CGridCtrl::TextToValue(c.type, c.text, value);
    EXPECT_EQ(value.vt, c.vt) << c.type << " " << c.text;
  }
  COleVariant v;
  CGridCtrl::TextToValue(gctInteger, "12abc", v);
  EXPECT_EQ(v.lVal, 12);
}

TEST(GridValues, RealValuesShowTheirDecimals) {
  struct Case {
    double value;
    int decimals;
    const char* text;
  } cases[] = {{0.05, 2, "0.05"}, {-1.5, 2, "-1.50"}, {3, 2, "3.00"}, {2.4, 0, "2."}, {123.456, 1, "123.5"}};
  for (const Case& c : cases) {
    COleVariant value(c.value);
    EXPECT_STREQ(CGridCtrl::ValueToText(gctReal, c.decimals, value), c.text) << c.value;
  }
  EXPECT_STREQ(CGridCtrl::ValueToText(gctReal, 2, COleVariant()), "");
  EXPECT_STREQ(CGridCtrl::ValueToText(gctInteger, 0, COleVariant(42L)), "42");
  // a text that does not convert gives an empty text instead of an error
  EXPECT_STREQ(CGridCtrl::ValueToText(gctInteger, 0, COleVariant("abc")), "");
}

TEST(GridValues, DateAndCurrencyFollowTheLocaleHelpers) {
  const COleDateTime date(2024, 3, 9, 0, 0, 0);
  EXPECT_STREQ(CGridCtrl::ValueToText(gctDate, 0, COleVariant(date)), FormatDate(date));
  COleVariant parsed;
  CGridCtrl::TextToValue(gctDate, FormatDate(date), parsed);
  ASSERT_EQ(parsed.vt, VT_DATE);
  EXPECT_EQ(parsed.date, date.m_dt);
  COleCurrency amount;
  amount.m_cur.int64 = 123450;  // 12.345
  amount.SetStatus(COleCurrency::valid);
  const CString text = CGridCtrl::ValueToText(gctCurrency, 0, COleVariant(amount));
  EXPECT_STREQ(text, FormatCurrency(amount));
  COleVariant back;
  CGridCtrl::TextToValue(gctCurrency, text, back);
  EXPECT_EQ(back.vt, VT_CY);
}

TEST(GridValues, SetItemTextAndValueFollowTheCellType) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  SetColumnType(g, 1, gctInteger);
  SetColumnType(g, 2, gctReal, 2);
  g.SetRowCount(8);  // new rows take the new defaults
  EXPECT_EQ(g.GetItemType(6, 1), gctInteger);
  EXPECT_EQ(g.GetItemType(1, 1), gctText);  // cells made before keep their type

  ASSERT_TRUE(g.SetItemText(6, 1, "12abc"));
  EXPECT_EQ(g.GetItemValue(6, 1).vt, VT_I4);
  EXPECT_EQ(g.GetItemValue(6, 1).lVal, 12);
  g.SetItemText(6, 1, "");
  EXPECT_EQ(g.GetItemValue(6, 1).vt, VT_EMPTY);

  COleVariant real(-1.5);
  g.SetItemValue(6, 2, &real);
  EXPECT_STREQ(g.GetItemText(6, 2), "-1.50");

  // type 0: the value is independent of the text
  g.SetItemText(1, 3, "keep");
  COleVariant other(5L);
  g.SetItemValue(1, 3, &other);
  EXPECT_STREQ(g.GetItemText(1, 3), "keep");
  EXPECT_EQ(g.GetItemValue(1, 3).lVal, 5);

  // bad addresses: FALSE and neutral results
  EXPECT_FALSE(g.SetItemText(99, 0, "x"));
  EXPECT_STREQ(g.GetItemText(-1, 0), "");
  EXPECT_EQ(g.GetItemValue(0, 99).vt, VT_EMPTY);
  EXPECT_EQ(g.GetItemType(99, 99), -1);
}

TEST(GridValues, CarriageReturnsAreStoredAsMarks) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  g.SetItemText(1, 1, "a\rb");
  EXPECT_STREQ(g.GetItemText(1, 1), "a\rb");
  EXPECT_STREQ(g.GetCell(1, 1)->text,
               "a\xB6"
               "b");
  GridItem raw(1, 1, GVIF_TEXT);
  g.GetItem(raw, FALSE);
  EXPECT_STREQ(raw.text,
               "a\xB6"
               "b");
  EXPECT_FALSE(g.GetCell(1, 1)->noText);
  g.SetItemText(1, 1, nullptr);
  EXPECT_TRUE(g.GetCell(1, 1)->noText);
}

TEST(GridValues, PickListsAreSharedAndCopiedOnWrite) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  GridCellRow list;
  list.Add(COleVariant(1L), "one");
  list.Add(COleVariant(2L), "two");
  g.SetColumnPickList(1, list);
  g.SetColumnPickList(2, list);
  EXPECT_TRUE(g.GetColumnPickList(1).SharesBodyWith(g.GetColumnPickList(2)));
  list.Add(COleVariant(3L), "three");  // the holder copies before changing
  EXPECT_EQ(g.GetColumnPickList(1).GetCount(), 2);
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(g.GetColumnPickList(99).GetCount(), 0);

  SetColumnType(g, 1, gctPickList);
  g.SetRowCount(7);
  COleVariant two(2L), nine(9L);
  g.SetItemValue(6, 1, &two);
  EXPECT_STREQ(g.GetItemText(6, 1), "two");
  g.SetItemValue(6, 1, &nine);
  EXPECT_STREQ(g.GetItemText(6, 1), "");
  EXPECT_EQ(g.GetItemValue(6, 1).lVal, 9);
  // equal values need the same type
  COleVariant shortTwo(static_cast<short>(2));
  g.SetItemValue(6, 1, &shortTwo);
  EXPECT_STREQ(g.GetItemText(6, 1), "");
}

TEST(GridValues, ModifiedFlagsAndStates) {
  Fixture f;
  CGridCtrl& g = *f.grid;
  g.SetModified(TRUE, 1, 1);
  g.SetModified(TRUE, 2, 2);
  EXPECT_TRUE(g.GetModified());
  EXPECT_TRUE(g.GetModified(1, 1));
  g.SetModified(FALSE, 1, 1);
  EXPECT_FALSE(g.GetModified(1, 1));
  EXPECT_TRUE(g.GetModified(2, 2));
  g.SetModified(FALSE, -1, -1);
  EXPECT_FALSE(g.GetModified(2, 2));

  g.SetItemState(1, 1, GVIS_SELECTED);
  EXPECT_EQ(g.GetSelectedCellRange(), CellRange(1, 1, 1, 1));
  g.SetItemState(1, 1, 0);
  EXPECT_FALSE(g.IsValid(g.GetSelectedCellRange()));
  g.SetItemReadOnly(2, 2, TRUE);
  EXPECT_TRUE(g.IsItemReadOnly(2, 2));
  EXPECT_FALSE(g.IsCellEditable(2, 2));
}

TEST(GridValues, NewCellsTakeFormatAndColumnDefaults) {
  Fixture f(0, 3, 0, 0);
  CGridCtrl& g = *f.grid;
  GridItem defaults(0, 2, GVIF_BKCLR);
  defaults.bkColour = RGB(1, 2, 3);
  g.SetColumnDefaults(2, defaults);
  g.SetRowCount(1);
  EXPECT_EQ(g.GetItemFormat(0, 1), static_cast<UINT>(DT_LEFT | DT_VCENTER | DT_SINGLELINE));
  EXPECT_EQ(g.GetCell(0, 2)->bkColour, RGB(1, 2, 3));
  GridItem right(0, 1, GVIF_FORMAT);
  right.format = DT_RIGHT | DT_SINGLELINE;
  g.SetItem(right);
  g.SetRowCount(2);
  EXPECT_EQ(g.GetItemFormat(1, 1), static_cast<UINT>(DT_RIGHT | DT_SINGLELINE));
}
