#include "classlib/Base.h"
#include "classlib/String.h"

#include <gtest/gtest.h>

TEST(CStringTest, KeepsEveryByteValue) {
  // Grid cells keep their line breaks as byte 0xB6; nothing may fold or drop it.
  CString text("one\xB6two\xB6");
  text += '\xFF';
  EXPECT_EQ(text.GetLength(), 9);
  EXPECT_EQ(static_cast<unsigned char>(text[3]), 0xB6);
  EXPECT_EQ(text.Find('\xB6'), 3);
  EXPECT_EQ(text.ReverseFind('\xB6'), 7);
  EXPECT_EQ(text.Replace('\xB6', '\n'), 2);
  EXPECT_STREQ(text, "one\ntwo\n\xFF");
  CString upper("caf\xE9\xB6");
  upper.MakeUpper();
  EXPECT_EQ(static_cast<unsigned char>(upper[4]), 0xB6);
  EXPECT_EQ(upper.Left(3), "CAF");
}

TEST(CStringTest, GetBufferAndReleaseBuffer) {
  CString text("abc");
  char* buffer = text.GetBuffer(10);
  strcpy(buffer, "longer text");  // 11 characters plus terminator: within the requested room + 1
  text.ReleaseBuffer();
  EXPECT_EQ(text, "longer text");

  buffer = text.GetBuffer(0);
  buffer[2] = '\0';
  text.ReleaseBuffer();  // -1: up to the first zero byte
  EXPECT_EQ(text, "lo");

  buffer = text.GetBufferSetLength(4);
  memcpy(buffer, "wxyz", 4);
  text.ReleaseBuffer(3);
  EXPECT_EQ(text, "wxy");
}

TEST(CStringTest, ExtractionClampsOutOfRangeArguments) {
  const CString text("abcdef");
  struct Case {
    CString got;
    const char* expected;
  } cases[] = {
      {text.Mid(2), "cdef"},      {text.Mid(2, 2), "cd"}, {text.Mid(4, 10), "ef"},   {text.Mid(10), ""},
      {text.Mid(-3, 2), "ab"},    {text.Left(0), ""},     {text.Left(99), "abcdef"}, {text.Right(2), "ef"},
      {text.Right(99), "abcdef"}, {text.Right(-1), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected);
  EXPECT_EQ(text.Find("cd"), 2);
  EXPECT_EQ(text.Find("cd", 3), -1);
  EXPECT_EQ(text.Find('a', 99), -1);
  EXPECT_EQ(text.Find("", 0), 0);
  EXPECT_EQ(text.ReverseFind('z'), -1);
}

TEST(CStringTest, TrimAndReplaceText) {
  CString text(" \t hello world \r\n");
  text.TrimLeft();
  text.TrimRight();
  EXPECT_EQ(text, "hello world");
  text.TrimRight('d');
  text.TrimLeft("leh");
  EXPECT_EQ(text, "o worl");
  CString all("xxxx");
  all.TrimLeft('x');
  EXPECT_TRUE(all.IsEmpty());

  CString path("a\\\\b\\\\c");
  EXPECT_EQ(path.Replace("\\\\", "\\"), 2);
  EXPECT_EQ(path, "a\\b\\c");
  EXPECT_EQ(path.Replace("", "x"), 0);
  EXPECT_EQ(path.Replace("b", ""), 1);
  EXPECT_EQ(path, "a\\\\c");
  CString grow("aa");
  EXPECT_EQ(grow.Replace("a", "aa"), 2);  // no re-scan of what was put in
  EXPECT_EQ(grow, "aaaa");
}

TEST(CStringTest, FormatAndFormatMessage) {
  CString text;
  text.Format("%s=%d (%5.2f) %c", "value", -42, 3.14159, 'x');
  EXPECT_EQ(text, "value=-42 ( 3.14) x");
  CString longer;
  longer.Format("%s%s", std::string(3000, 'a').c_str(), "!");
  EXPECT_EQ(longer.GetLength(), 3001);

  text.FormatMessage("File %1!s! has %2!d! images; %1 again", "job.zvk", 12);
  EXPECT_EQ(text, "File job.zvk has 12 images; job.zvk again");
}

TEST(CStringTest, ComparisonAndOperators) {
  CString a("Apple");
  EXPECT_EQ(a.Compare("Apple"), 0);
  EXPECT_LT(a.Compare("Banana"), 0);
  EXPECT_GT(a.Compare("APPLE"), 0);
  EXPECT_EQ(a.CompareNoCase("aPPLE"), 0);
  EXPECT_LT(a.CompareNoCase("apples"), 0);
  EXPECT_TRUE(a == "Apple");
  EXPECT_TRUE("Apple" == a);
  EXPECT_TRUE(a != "apple");
  EXPECT_TRUE(CString("a") < CString("b"));
  EXPECT_TRUE(CString("\x7F") < CString("\xB6"));  // bytes compare unsigned

  CString joined = a + " " + CString("pie") + '!';
  EXPECT_EQ(joined, "Apple pie!");
  EXPECT_EQ("x" + a, "xApple");
  const char* raw = joined;
  EXPECT_STREQ(raw, "Apple pie!");
  joined.SetAt(0, 'a');
  EXPECT_EQ(joined.GetAt(0), 'a');
  joined.Empty();
  EXPECT_TRUE(joined.IsEmpty());
  EXPECT_STREQ(static_cast<LPCTSTR>(joined), "");
}

TEST(CStringTest, ConstructionAndResources) {
  EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
  EXPECT_EQ(CString('-', 3), "---");
  EXPECT_EQ(CString("abcdef", 3), "abc");
  EXPECT_EQ(CString(L"caf\u00e9"), "caf\xE9");
  // A string id that the module does not have loads nothing.
  CString missing(MAKEINTRESOURCE(54321));
  EXPECT_TRUE(missing.IsEmpty());
  EXPECT_FALSE(missing.LoadString(54321));
}

TEST(CStringTest, AllocSysStringConvertsWithTheCodePage) {
  CString text("a\xB6z");
  BSTR wide = text.AllocSysString();
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(SysStringLen(wide), 3u);
  EXPECT_EQ(wide[1], L'\u00B6');
  EXPECT_EQ(CString(static_cast<const wchar_t*>(wide)), text);
  SysFreeString(wide);
}

TEST(CStringArrayTest, AddInsertRemove) {
  CStringArray list;
  EXPECT_EQ(list.Add("b"), 0);
  EXPECT_EQ(list.Add("d"), 1);
  list.InsertAt(0, "a");
  list.InsertAt(2, "c");
  ASSERT_EQ(list.GetSize(), 4);
  EXPECT_EQ(list[0], "a");
  EXPECT_EQ(list[2], "c");
  list.RemoveAt(1, 2);
  EXPECT_EQ(list.GetSize(), 2);
  EXPECT_EQ(list.GetAt(1), "d");
  EXPECT_THROW(list.GetAt(2), std::out_of_range);
  EXPECT_THROW(list.RemoveAt(1, 2), std::out_of_range);
}
