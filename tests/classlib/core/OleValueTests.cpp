#include "classlib/ComSupport.h"
#include "classlib/OleDateTime.h"
#include "classlib/OleCurrency.h"
#include "classlib/OleVariant.h"

#include <gtest/gtest.h>

namespace {
const LCID kEnglishUS = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
}

TEST(COleDateTimeTest, DatesRoundTripThroughSystemTime) {
  struct Case {
    int y, mo, d, h, mi, s;
    double dt;  // the automation date, where it is a round number
  } cases[] = {
      {1899, 12, 30, 0, 0, 0, 0.0},    {1899, 12, 29, 6, 0, 0, -1.25}, {1900, 1, 1, 12, 0, 0, 2.5},
      {2000, 2, 29, 23, 59, 59, -99},  {2024, 1, 2, 15, 4, 5, -99},    {100, 1, 1, 0, 0, 0, -99},
      {9999, 12, 31, 23, 59, 59, -99}, {1800, 6, 15, 18, 0, 0, -99},
  };
  for (const Case& c : cases) {
    COleDateTime date;
    ASSERT_EQ(date.SetDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s), 0) << c.y;
    EXPECT_EQ(date.GetStatus(), COleDateTime::valid);
    if (c.dt != -99) {
      EXPECT_DOUBLE_EQ(date.m_dt, c.dt);
    }
    // The platform's own conversion agrees with ours.
    SYSTEMTIME expected = {
        static_cast<WORD>(c.y),  static_cast<WORD>(c.mo), 0, static_cast<WORD>(c.d), static_cast<WORD>(c.h),
        static_cast<WORD>(c.mi), static_cast<WORD>(c.s),  0};
    double platform = 0;
    ASSERT_TRUE(SystemTimeToVariantTime(&expected, &platform));
    EXPECT_NEAR(date.m_dt, platform, 1e-9) << c.y;
    SYSTEMTIME back;
    ASSERT_TRUE(date.GetAsSystemTime(back));
    EXPECT_EQ(back.wYear, c.y);
    EXPECT_EQ(back.wMonth, c.mo);
    EXPECT_EQ(back.wDay, c.d);
    EXPECT_EQ(back.wHour, c.h);
    EXPECT_EQ(back.wMinute, c.mi);
    EXPECT_EQ(back.wSecond, c.s);
    SYSTEMTIME viaPlatform;
    ASSERT_TRUE(VariantTimeToSystemTime(date.m_dt, &viaPlatform));
    EXPECT_EQ(back.wDayOfWeek, viaPlatform.wDayOfWeek);
  }
  COleDateTime sunday(2024, 1, 7, 0, 0, 0);
  EXPECT_EQ(sunday.GetDayOfWeek(), 1);
  EXPECT_EQ(sunday.GetDayOfYear(), 7);
  EXPECT_TRUE(COleDateTime(1899, 12, 29, 23, 0, 0) < COleDateTime(1899, 12, 30, 1, 0, 0));
  EXPECT_TRUE(COleDateTime(1899, 12, 29, 1, 0, 0) < COleDateTime(1899, 12, 29, 23, 0, 0));
}

TEST(COleDateTimeTest, ImpossibleDatesAreInvalid) {
  const int bad[][6] = {{2023, 2, 29, 0, 0, 0}, {2024, 13, 1, 0, 0, 0}, {2024, 4, 31, 0, 0, 0},
                        {99, 1, 1, 0, 0, 0},    {2024, 1, 1, 24, 0, 0}, {2024, 1, 1, 0, 60, 0}};
  for (const auto& b : bad) {
    COleDateTime date;
    EXPECT_EQ(date.SetDateTime(b[0], b[1], b[2], b[3], b[4], b[5]), 1);
    EXPECT_EQ(date.GetStatus(), COleDateTime::invalid);
    SYSTEMTIME t;
    EXPECT_FALSE(date.GetAsSystemTime(t));
    EXPECT_EQ(date.GetYear(), -1);
  }
  COleDateTime date;
  date.SetStatus(COleDateTime::null);
  EXPECT_TRUE(date.Format().IsEmpty());
}

TEST(COleDateTimeTest, FormatAndParseWithTheEnglishLocale) {
  COleDateTime date(2024, 1, 2, 15, 4, 5);
  EXPECT_EQ(date.Format(0, kEnglishUS), "1/2/2024 3:04:05 PM");
  EXPECT_EQ(date.Format(VAR_DATEVALUEONLY, kEnglishUS), "1/2/2024");
  EXPECT_EQ(date.Format("%Y-%m-%d %H:%M:%S"), "2024-01-02 15:04:05");

  COleDateTime parsed;
  ASSERT_TRUE(parsed.ParseDateTime(date.Format(0, kEnglishUS), 0, kEnglishUS));
  EXPECT_EQ(parsed, date);
  ASSERT_TRUE(parsed.ParseDateTime("12/31/1999", VAR_DATEVALUEONLY, kEnglishUS));
  EXPECT_EQ(parsed.GetYear(), 1999);
  EXPECT_EQ(parsed.GetDay(), 31);
  // The user locale is pinned to English (United States) for test runs.
  ASSERT_TRUE(parsed.ParseDateTime("3/4/2021"));
  EXPECT_EQ(parsed.GetMonth(), 3);

  EXPECT_FALSE(parsed.ParseDateTime("not a date", 0, kEnglishUS));
  EXPECT_EQ(parsed.GetStatus(), COleDateTime::invalid);
  EXPECT_FALSE(parsed.ParseDateTime(""));
}

TEST(COleCurrencyTest, ParseAndFormatRoundTrip) {
  struct Case {
    const char* text;
    LONGLONG value;
    const char* formatted;
  } cases[] = {
      {"1234.56", 12345600, "1234.56"}, {"1,234.5", 12345000, "1234.5"},
      {"-0.5", -5000, "-0.5"},          {"0", 0, "0"},
      {"$12.25", 122500, "12.25"},
  };
  for (const Case& c : cases) {
    COleCurrency money;
    ASSERT_TRUE(money.ParseCurrency(c.text, 0, kEnglishUS)) << c.text;
    EXPECT_EQ(money.m_cur.int64, c.value) << c.text;
    EXPECT_EQ(money.Format(0, kEnglishUS), c.formatted);
    COleCurrency again;
    ASSERT_TRUE(again.ParseCurrency(money.Format(0, kEnglishUS), 0, kEnglishUS));
    EXPECT_EQ(again, money);
  }
  COleCurrency bad;
  EXPECT_FALSE(bad.ParseCurrency("twelve", 0, kEnglishUS));
  EXPECT_EQ(bad.GetStatus(), COleCurrency::invalid);
  EXPECT_EQ(COleCurrency(3, 2500).m_cur.int64, 32500);
  EXPECT_EQ((COleCurrency(3, 0) - COleCurrency(0, 5000)).m_cur.int64, 25000);
  CY largest;
  largest.int64 = 0x7FFFFFFFFFFFFFFFLL;
  EXPECT_EQ((COleCurrency(largest) + COleCurrency(0, 1)).GetStatus(), COleCurrency::invalid);
}

TEST(COleVariantTest, OwnsItsValueAndComparesWithoutThrowing) {
  COleVariant text("caf\xE9");
  ASSERT_EQ(text.vt, VT_BSTR);
  COleVariant copy(text);
  EXPECT_NE(copy.bstrVal, text.bstrVal);  // a copy, not a shared pointer
  EXPECT_TRUE(copy == text);
  text.Clear();
  EXPECT_EQ(SysStringLen(copy.bstrVal), 4u);

  EXPECT_FALSE(COleVariant(42L) == COleVariant(static_cast<short>(42)));  // types differ
  EXPECT_TRUE(COleVariant(42L) == COleVariant(42L));
  EXPECT_TRUE(COleVariant(1.5) != COleVariant(2.5));
  EXPECT_TRUE(COleVariant() == COleVariant());

  SAFEARRAY* a = SafeArrayCreateVector(VT_UI1, 0, 3);
  SAFEARRAY* b = SafeArrayCreateVector(VT_UI1, 0, 3);
  VARIANT va, vb;
  VariantInit(&va);
  VariantInit(&vb);
  va.vt = vb.vt = VT_ARRAY | VT_UI1;
  va.parray = a;
  vb.parray = b;
  COleVariant arrayA, arrayB;
  arrayA.Attach(va);
  arrayB.Attach(vb);
  EXPECT_TRUE(arrayA == arrayB);
  static_cast<BYTE*>(b->pvData)[1] = 7;
  EXPECT_FALSE(arrayA == arrayB);

  COleVariant number(42L);
  number.ChangeType(VT_BSTR);
  EXPECT_STREQ(CString(number.bstrVal), "42");
  COleVariant word("not a number");
  EXPECT_THROW(word.ChangeType(VT_I4), _com_error);
  EXPECT_EQ(word.vt, VT_BSTR);

  COleVariant when(COleDateTime(2024, 1, 2, 0, 0, 0));
  EXPECT_EQ(when.vt, VT_DATE);
  COleVariant money(COleCurrency(1, 0));
  EXPECT_EQ(money.vt, VT_CY);
}
