// Text lines and fields, the file finder, rectangle fitting, the locale texts and the VARIANT holder.
#include "FileFinder.h"
#include "LocaleFormat.h"
#include "RectFitting.h"
#include "TextFields.h"
#include "VariantHolder.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::string WriteScratchFile(const std::string& folder, const char* name, const std::string& bytes) {
  std::string path = folder + "\\" + name;
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return path;
}

}  // namespace

TEST(TextLines, LineEndsOfEveryKindAndALastLineWithoutOne) {
  std::string folder = testsupport::ScratchFolder("lines");
  std::string path = WriteScratchFile(folder, "lines.txt", "one\r\ntwo\rthree\nfour long line\r\rlast");
  OFSTRUCT info{};
  HFILE file = _lopen(path.c_str(), OF_READ);
  ASSERT_NE(file, HFILE_ERROR);
  (void)info;
  CString line;
  std::vector<std::string> lines;
  while (ReadTextLine(file, line, 4)) lines.push_back(static_cast<const char*>(line));
  _lclose(file);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "thre", "four", "", "last"}));
  DeleteFileA(path.c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST(TextFields, TrimFixedWidthAndDelimited) {
  EXPECT_STREQ(TrimSpaces("   "), "");
  EXPECT_STREQ(TrimSpaces("\tx"), "\tx");
  EXPECT_STREQ(TrimSpaces("  a b  "), "a b");
  EXPECT_STREQ(GetFixedWidthField("12345 Smith  ", 5, 99), "Smith");
  EXPECT_STREQ(GetFixedWidthField("abc", -3, 2), "ab");
  EXPECT_STREQ(GetFixedWidthField("abc", 2, 1), "");

  struct Case {
    const char* line;
    const char* field;
    const char* rest;
  } cases[] = {
      {"a,b,c", "a", "b,c"},
      {"last", "last", ""},
      {"", "", ""},
      {"\"x, y\",z", "x, y", "z"},
      {"\"say \"\"hi\"\"\",next", "say \"hi\"", "next"},
      {"\"open \"quoted\" end", "open \"quoted", ""},
      {"\"only", "only", ""},
      {",lead", "", "lead"},
  };
  for (const Case& c : cases) {
    CString line(c.line);
    EXPECT_STREQ(NextDelimitedField(line, ','), c.field) << c.line;
    EXPECT_STREQ(line, c.rest) << c.line;
  }
}

TEST(FileFinderTest, OnlyPlainVisibleFiles) {
  std::string folder = testsupport::ScratchFolder("finder");
  WriteScratchFile(folder, "a.jpg", "x");
  WriteScratchFile(folder, "b.jpg", "x");
  std::string hidden = WriteScratchFile(folder, "h.jpg", "x");
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
  CreateDirectoryA((folder + "\\d.jpg").c_str(), nullptr);
  std::set<std::string> found;
  {
    FileFinder finder((folder + "\\*.jpg").c_str());
    for (CString name = finder.First(); !name.IsEmpty(); name = finder.Next())
      found.insert(static_cast<const char*>(name));
  }
  EXPECT_EQ(found, (std::set<std::string>{"a.jpg", "b.jpg"}));
  FileFinder none((folder + "\\*.png").c_str());
  EXPECT_TRUE(none.First().IsEmpty());
  EXPECT_TRUE(none.Next().IsEmpty());
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
  for (const char* n : {"a.jpg", "b.jpg", "h.jpg"}) DeleteFileA((folder + "\\" + n).c_str());
  RemoveDirectoryA((folder + "\\d.jpg").c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST(RectFittingTest, FitCoverAndPlace) {
  EXPECT_EQ(FitRect({0, 0, 100, 100}, 3, 2), (PlacementRect{0, 17, 100, 67}));
  EXPECT_EQ(FitRect({10, 20, 100, 50}, 0, 2), (PlacementRect{10, 20, 100, 50}));
  EXPECT_EQ(FitRect({10, 20, 200, 100}, 1, 1), (PlacementRect{60, 20, 100, 100}));
  EXPECT_EQ(CoverRect({0, 0, 100, 100}, 3, 2), (PlacementRect{-25, 0, 150, 100}));
  EXPECT_EQ(PlaceScaledRect({0, 0, 10, 10}, 1.0f, 13, 3), (PlacementRect{-2, 4, 13, 3}));
}

class LocaleTexts : public ::testing::Test {
 protected:
  void TearDown() override { OverrideLocaleFormats(nullptr, nullptr); }
};

TEST_F(LocaleTexts, ParseDateFollowsTheLocalesOrderAndPivotsTwoDigitYears) {
  OverrideLocaleFormats("dd.MM.yyyy", "HH:mm:ss");
  ASSERT_EQ(GetDateOrder(), 123);
  struct Case {
    const char* text;
    int year, month, day;
  } dmy[] = {{"1.2.03", 2003, 2, 1},   {"1.2.20", 1920, 2, 1},   {"1.2.19", 2019, 2, 1},
             {"01022003", 2003, 2, 1}, {"1.2.2003", 2003, 2, 1}, {"31/12/1999", 1999, 12, 31}};
  for (const Case& c : dmy) {
    COleDateTime d = ParseDate(c.text);
    ASSERT_EQ(d.GetStatus(), COleDateTime::valid) << c.text;
    EXPECT_EQ(d.GetYear(), c.year) << c.text;
    EXPECT_EQ(d.GetMonth(), c.month) << c.text;
    EXPECT_EQ(d.GetDay(), c.day) << c.text;
  }
  EXPECT_NE(ParseDate("31.2.2003").GetStatus(), COleDateTime::valid);
  EXPECT_NE(ParseDate("1.1.0099").GetStatus(), COleDateTime::valid);  // four digits: year 99, no pivot

  OverrideLocaleFormats("M/d/yyyy", nullptr);
  EXPECT_EQ(GetDateOrder(), 213);
  COleDateTime us = ParseDate("2/1/2003");
  EXPECT_EQ(us.GetMonth(), 2);
  EXPECT_EQ(us.GetDay(), 1);

  OverrideLocaleFormats("yyyy-MM-dd", nullptr);
  EXPECT_EQ(GetDateOrder(), 321);
  COleDateTime iso = ParseDate("20030201");
  EXPECT_EQ(iso.GetYear(), 2003);
  EXPECT_EQ(iso.GetMonth(), 2);
  EXPECT_EQ(iso.GetDay(), 1);
  OverrideLocaleFormats("d MMMM", nullptr);
  EXPECT_EQ(GetDateOrder(), 321);  // no year: anything but 123 and 213 counts as 321
}

TEST_F(LocaleTexts, FormatDateAndTimeOfInvalidDatesAreEmpty) {
  COleDateTime valid(2003, 2, 1, 13, 5, 0);
  SYSTEMTIME st{};
  valid.GetAsSystemTime(st);
  char expected[128] = {};
  GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, GetShortDateFormat(), expected, sizeof(expected));
  EXPECT_STREQ(FormatDate(valid), expected);
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, GetTimeFormatString(), expected, sizeof(expected));
  EXPECT_STREQ(FormatTime(valid), expected);

  COleDateTime null;
  null.SetStatus(COleDateTime::null);
  COleDateTime invalid;
  invalid.SetStatus(COleDateTime::invalid);
  COleDateTime farAway = COleDateTime::GetCurrentTime();
  farAway.m_dt += 3000000.0;
  for (const COleDateTime& d : {null, invalid, farAway}) {
    EXPECT_STREQ(FormatDate(d), "");
    EXPECT_STREQ(FormatTime(d), "");
  }
}

TEST_F(LocaleTexts, CurrencyTextsGoThroughTheLocale) {
  struct Case {
    long long tenThousandths;
    const char* number;
  } cases[] = {{10500, "1.0500"}, {-5000, "-0.5000"}, {30000, "3"}, {1, "0.0001"}};
  for (const Case& c : cases) {
    COleCurrency value;
    value.m_cur.int64 = c.tenThousandths;
    char expected[128] = {};
    GetCurrencyFormatA(LOCALE_USER_DEFAULT, 0, c.number, nullptr, expected, sizeof(expected));
    EXPECT_STREQ(FormatCurrency(value), expected) << c.number;
  }
  COleCurrency null;
  null.SetStatus(COleCurrency::null);
  EXPECT_STREQ(FormatCurrency(null), "");

  COleCurrency empty = ParseCurrency("");
  EXPECT_EQ(empty.GetStatus(), COleCurrency::null);
  EXPECT_EQ(empty.m_cur.int64, 0);
  EXPECT_EQ(ParseCurrency("not money").GetStatus(), COleCurrency::invalid);
  COleCurrency parsed = ParseCurrency("12.5");
  EXPECT_EQ(parsed.GetStatus(), COleCurrency::valid);
  EXPECT_EQ(parsed.m_cur.int64, 125000);
}

namespace {

// A stand-in for the image library's bitmap with its table interface.
class TableTaker : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE SetTables(VARIANT tables) {
    received = tables.vt;
    return answer;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    static const IID tablesIid = {
        0x916CFD00, 0x2A0A, 0x11D3, {0xBD, 0x11, 0x00, 0x60, 0x8C, 0x84, 0xC0, 0x60}};
    if (IsEqualIID(iid, IID_IUnknown) || (hasTables && IsEqualIID(iid, tablesIid))) {
      *object = this;
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }

  ULONG refs = 1;
  bool hasTables = true;
  VARTYPE received = 0xFFFF;
  HRESULT answer = S_OK;
};

}  // namespace

TEST(VariantHolderTest, HandsTheValueOverAndReleasesTheObjectInEveryCase) {
  {
    VariantHolder empty;
    TableTaker taker;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_TRUE(empty.ApplyTo(&taker));
    EXPECT_EQ(taker.refs, 0u);
    EXPECT_EQ(taker.received, 0xFFFF);
  }
  VariantHolder holder;
  holder.value.vt = VT_I4;
  holder.value.lVal = 3;
  {
    TableTaker taker;
    EXPECT_TRUE(holder.ApplyTo(&taker));
    EXPECT_EQ(taker.received, VT_I4);
    EXPECT_EQ(taker.refs, 0u);
  }
  {
    TableTaker taker;
    taker.hasTables = false;
    EXPECT_FALSE(holder.ApplyTo(&taker));
    EXPECT_EQ(taker.refs, 0u);
  }
  {
    TableTaker taker;
    taker.answer = E_INVALIDARG;
    EXPECT_THROW(holder.ApplyTo(&taker), _com_error);
    EXPECT_EQ(taker.refs, 0u);
  }
  holder.Init();
  EXPECT_TRUE(holder.IsEmpty());
}
