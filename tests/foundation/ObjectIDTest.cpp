// Identifiers: the exact text of a GUID, the identifier block, and the key order.
#include "NumericStringLess.h"
#include "ObjectID.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

GUID Guid(uint32_t d1, uint16_t d2, uint16_t d3, std::initializer_list<uint8_t> d4) {
  GUID g{d1, d2, d3, {}};
  int i = 0;
  for (uint8_t b : d4) g.Data4[i++] = b;
  return g;
}

}  // namespace

TEST(ObjectIDText, KnownGuidsGiveTheirStoredText) {
  struct Case {
    GUID guid;
    const char* text;
  } cases[] = {
      {Guid(0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}), "0000000000000000000000000"},
      {Guid(0, 0, 0, {0, 1, 0, 0, 0, 0, 0, 0}), "4700000000000000000000000"},
      {Guid(1, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}), "000000SD5FVE9DYD4O7000000"},
      {Guid(0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}), "000WWEYKZOJ00000000000000"},
      {Guid(0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
       "FW80ICYFWB0KSZKY3616DEO4F"},
      {Guid(0x12345678, 0x9ABC, 0xDEF0, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0}),
       "AQGK7WR5HQM8KKRKPRX2IDQ21"},
  };
  for (const Case& c : cases) EXPECT_STREQ(CObjectID::FromGuid(c.guid), c.text);
}

TEST(ObjectIDText, NewIdentifiersAreDistinctAndWellFormed) {
  std::set<CString> seen;
  for (int i = 0; i < 50; ++i) {
    CObjectID id = CObjectID::CreateNew();
    ASSERT_EQ(id.GetLength(), 25);
    for (int k = 0; k < 25; ++k) {
      char c = id[k];
      ASSERT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) << id;
    }
    EXPECT_TRUE(seen.insert(id).second);
  }
}

TEST(ObjectIDText, KeysOfTheClassLibrarysHashedMaps) {
  CMap<CObjectID, const char*, int, int> byText;
  byText.InitHashTable(17);
  byText.SetAt("4700000000000000000000000", 1);
  byText.SetAt(CObjectID::FromGuid(GUID{}), 2);
  int value = 0;
  EXPECT_TRUE(byText.Lookup("0000000000000000000000000", value));
  EXPECT_EQ(value, 2);
  EXPECT_FALSE(byText.Lookup("ABC", value));
  CMap<CObjectID, const CObjectID&, int, int> byId;
  byId.SetAt(CObjectID("X1"), 5);
  EXPECT_TRUE(byId.Lookup(CObjectID("X1"), value));
  EXPECT_EQ(value, 5);
}

TEST(ObjectIDBlock, GoldenBytesBothWays) {
  const std::vector<uint8_t> golden = {0x00, 0x01, 0x19, '4', '7', '0', '0', '0', '0', '0',
                                       '0',  '0',  '0',  '0', '0', '0', '0', '0', '0', '0',
                                       '0',  '0',  '0',  '0', '0', '0', '0', '0'};
  zvk::ArchiveMemory out;
  WriteObjectID(out, CObjectID::FromGuid(Guid(0, 0, 0, {0, 1, 0, 0, 0, 0, 0, 0})));
  EXPECT_EQ(std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize()), golden);

  zvk::ArchiveMemory in(golden.data(), static_cast<unsigned>(golden.size()));
  CObjectID id;
  ReadObjectID(in, id);
  EXPECT_STREQ(id, "4700000000000000000000000");
}

TEST(ObjectIDBlock, MinorVersionIgnoredUnknownMajorAndShortDataRefused) {
  const uint8_t minor[] = {0x01, 0x01, 0x03, 'A', 'B', 'C'};
  zvk::ArchiveMemory in(minor, sizeof(minor));
  CObjectID id;
  ReadObjectID(in, id);
  EXPECT_STREQ(id, "ABC");

  const uint8_t major2[] = {0x00, 0x02, 0x00};
  zvk::ArchiveMemory bad(major2, sizeof(major2));
  try {
    ReadObjectID(bad, id);
    ADD_FAILURE() << "no exception";
  } catch (const zvk::ArchiveException& e) {
    EXPECT_EQ(e.GetKind(), zvk::ArchiveException::BadSchema);
    EXPECT_STREQ(e.what(), "Archive Exception [BadSchema]\nObjectID.h(74)");
  }

  const uint8_t one[] = {0x00};
  zvk::ArchiveMemory shortBlock(one, 1);
  try {
    ReadObjectID(shortBlock, id);
    ADD_FAILURE() << "no exception";
  } catch (const zvk::ArchiveException& e) {
    EXPECT_EQ(e.GetKind(), zvk::ArchiveException::EndOfFile);
  }
  EXPECT_STREQ(id, "ABC");
}

TEST(NumericStringLessOrder, NumbersFirstThenBytes) {
  struct Case {
    const char* a;
    const char* b;
    bool less;
  } cases[] = {
      {"9", "10", true}, {"10", "9", false}, {"10", "10A", true},   {"10A", "10", false},   {"0Z", "1", true},
      {"-1", "0", true}, {"007", "7", true}, {"7", "007", false},   {"A", "A", false},      {"", "", false},
      {"A", "B", true},  {" 5", "6", true},  {"abc", "\xE9", true}, {"\xE9", "abc", false},
  };
  for (const Case& c : cases) EXPECT_EQ(NumericStringLess(c.a, c.b), c.less) << c.a << " < " << c.b;

  std::set<CString, NumericStringLessOrder> keys = {"10", "9", "10A", "B", "A", "100"};
  std::vector<CString> order(keys.begin(), keys.end());
  std::vector<CString> expected = {"A", "B", "9", "10", "10A", "100"};
  EXPECT_EQ(order, expected);
}
