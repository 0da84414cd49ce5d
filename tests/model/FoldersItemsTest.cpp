// Folders, items and item relationships: read, kept and written back.
#include "ImageRecordBytes.h"

#include "FoldersList.h"
#include "ItemRelationships.h"
#include "ItemsList.h"
#include "MyException.h"

#include <gtest/gtest.h>

using imagetest::BadSchemaAt;
using imagetest::EmptyDetails;
using imagetest::EmptyValues;
using imagetest::GoldenBytes;
using imagetest::ReadStatic;
using imagetest::WrittenStatic;
using modeltest::ArchiveErrorKind;

namespace {

GoldenBytes FolderBytes(const std::string& id, const std::string& name) {
  return GoldenBytes().u16(0x0100).id(id).text(name).append(EmptyValues()).append(EmptyDetails());
}

GoldenBytes ItemBytes(uint16_t schema, const std::string& id, const std::string& name) {
  return GoldenBytes().u16(schema).id(id).text(name).append(EmptyValues()).append(EmptyDetails());
}

}  // namespace

TEST(FoldersListTest, ListRoundTripsInReadOrderWithRepeatedIds) {
  GoldenBytes golden = GoldenBytes()
                           .u16(0x0100)
                           .u32(4)
                           .append(FolderBytes("20", "Class B"))
                           .append(FolderBytes("3", ""))
                           .append(FolderBytes("20", "Class B again"))
                           .append(FolderBytes("1", "Class A"));
  FoldersList list;
  bool consumedAll = false;
  ReadStatic(list, golden.bytes, &consumedAll);
  EXPECT_TRUE(consumedAll);
  EXPECT_EQ(list.GetCount(), 4);
  EXPECT_EQ(list.Get("20").name, "Class B");
  EXPECT_TRUE(list.Contains("3"));
  EXPECT_EQ(list.FindByName("").size(), 1u);
  EXPECT_EQ(WrittenStatic(list), golden.bytes);

  std::string message;
  try {
    list.Get("99");
    ADD_FAILURE();
  } catch (const CMyException& e) {
    EXPECT_EQ(e.code, E_INVALIDARG);
    message = e.what();
  }
  EXPECT_NE(message.find("FoldersList.cpp(152)"), std::string::npos) << message;
  EXPECT_FALSE(list.Contains("99"));

  FoldersList empty;
  EXPECT_EQ(WrittenStatic(empty), (std::vector<uint8_t>{0x00, 0x01, 0, 0, 0, 0}));
}

TEST(FoldersListTest, VersionsAndCounts) {
  FoldersList list;
  // A minor version is accepted; a negative count reads nothing.
  ReadStatic(list, GoldenBytes().u16(0x0105).u32(0xFFFFFFFFu).bytes);
  EXPECT_EQ(list.GetCount(), 0);

  std::string message;
  EXPECT_EQ(ArchiveErrorKind([&] { ReadStatic(list, GoldenBytes().u16(0x0200).u32(0).bytes); }, &message),
            zvk::ArchiveException::BadSchema);
  EXPECT_EQ(message, BadSchemaAt("FoldersList.cpp", 281));
  std::vector<uint8_t> badRecord = GoldenBytes().u16(0x0100).u32(1).u16(0x0200).id("1").text("x").bytes;
  EXPECT_EQ(ArchiveErrorKind([&] { ReadStatic(list, badRecord); }, &message),
            zvk::ArchiveException::BadSchema);
  EXPECT_EQ(message, BadSchemaAt("FoldersList.cpp", 259));

  // A count beyond the data keeps the records read before the end.
  GoldenBytes shortList = GoldenBytes().u16(0x0100).u32(0x7FFFFFFF).append(FolderBytes("1", "A"));
  EXPECT_EQ(ArchiveErrorKind([&] { ReadStatic(list, shortList.bytes); }), zvk::ArchiveException::EndOfFile);
  EXPECT_EQ(list.GetCount(), 1);
}

TEST(ItemsListTest, SchemaWordsAndCarriedFieldsRoundTrip) {
  struct Case {
    const char* what;
    bool flag;
    const char* extraText;
    bool versionFlag;
    GoldenBytes bytes;
  } cases[] = {
      {"plain", false, "", false, ItemBytes(0x0100, "1", "Ann")},
      {"version flag only", false, "", true, ItemBytes(0x0101, "1", "Ann")},
      {"flag only", true, "", false, ItemBytes(0x0200, "1", "Ann").text("").u32(1)},
      {"extra text and version flag", false, "extra", true,
       ItemBytes(0x0201, "1", "Ann").text("extra").u32(0)},
  };
  for (const Case& c : cases) {
    ItemRecord record;
    record.id = "1";
    record.name = "Ann";
    record.flag = c.flag;
    record.extraText = c.extraText;
    record.versionFlag = c.versionFlag;
    EXPECT_EQ(WrittenStatic(record), c.bytes.bytes) << c.what;
    ItemRecord read;
    bool consumedAll = false;
    ReadStatic(read, c.bytes.bytes, &consumedAll);
    EXPECT_TRUE(consumedAll) << c.what;
    EXPECT_EQ(read.flag, c.flag) << c.what;
    EXPECT_EQ(read.extraText, c.extraText) << c.what;
    EXPECT_EQ(read.versionFlag, c.versionFlag) << c.what;
  }
}

TEST(ItemsListTest, FlagWordThreeIsWrittenBackAsOneAndEmptyNamesAreNotIndexed) {
  GoldenBytes golden = GoldenBytes()
                           .u16(0x0100)
                           .u32(3)
                           .append(ItemBytes(0x0200, "5", "Bo").text("").u32(3))
                           .append(ItemBytes(0x0100, "6", ""))
                           .append(ItemBytes(0x0100, "5", "bo"));
  ItemsList list;
  ReadStatic(list, golden.bytes);
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_TRUE(list.Find("5")->flag);
  EXPECT_EQ(list.Find("5")->name, "Bo");
  EXPECT_EQ(list.FindByName("BO").size(), 2u);
  EXPECT_TRUE(list.FindByName("").empty());
  EXPECT_TRUE(list.Contains("6"));

  GoldenBytes expected = GoldenBytes()
                             .u16(0x0100)
                             .u32(3)
                             .append(ItemBytes(0x0200, "5", "Bo").text("").u32(1))
                             .append(ItemBytes(0x0100, "6", ""))
                             .append(ItemBytes(0x0100, "5", "bo"));
  EXPECT_EQ(WrittenStatic(list), expected.bytes);

  ItemsList empty;
  EXPECT_EQ(WrittenStatic(empty), (std::vector<uint8_t>{0x00, 0x01, 0, 0, 0, 0}));
}

TEST(ItemsListTest, UnknownVersionsAreBadSchema) {
  ItemsList list;
  std::string message;
  EXPECT_EQ(ArchiveErrorKind([&] { ReadStatic(list, GoldenBytes().u16(0x0200).u32(0).bytes); }, &message),
            zvk::ArchiveException::BadSchema);
  EXPECT_EQ(message, BadSchemaAt("ItemsList.cpp", 388));
  std::vector<uint8_t> record = GoldenBytes().u16(0x0100).u32(1).append(ItemBytes(0x0300, "1", "A")).bytes;
  EXPECT_EQ(ArchiveErrorKind([&] { ReadStatic(list, record); }, &message), zvk::ArchiveException::BadSchema);
  EXPECT_EQ(message, BadSchemaAt("ItemsList.cpp", 355));
}

TEST(ItemRelationshipsTest, ReadingMergesRepeatsAndDropsItemsWithoutRelations) {
  GoldenBytes stream = GoldenBytes()
                           .u16(0x0100)
                           .u32(4)
                           .id("10")
                           .u32(1)
                           .id("2")
                           .text("sibling")
                           .id("7")
                           .u32(0)
                           .id("10")
                           .u32(2)
                           .id("1")
                           .text("parent")
                           .id("2")
                           .text("twin")
                           .id("9")
                           .u32(1)
                           .id("10")
                           .text("friend");
  ItemRelationships table;
  bool consumedAll = false;
  ReadStatic(table, stream.bytes, &consumedAll);
  EXPECT_TRUE(consumedAll);
  EXPECT_TRUE(table.Contains("2", "10"));
  EXPECT_FALSE(table.Contains("7", "7"));
  EXPECT_EQ(table.GetRelations().at("10").at("2"), "twin");
  EXPECT_EQ(table.GetRelatedBack().size(), 3u);
  EXPECT_EQ(table.GetRelations().count("7"), 0u);

  GoldenBytes expected = GoldenBytes()
                             .u16(0x0100)
                             .u32(2)
                             .id("9")
                             .u32(1)
                             .id("10")
                             .text("friend")
                             .id("10")
                             .u32(2)
                             .id("1")
                             .text("parent")
                             .id("2")
                             .text("twin");
  EXPECT_EQ(WrittenStatic(table), expected.bytes);

  std::string message;
  EXPECT_EQ(ArchiveErrorKind([&] { ReadStatic(table, GoldenBytes().u16(0x0200).u32(0).bytes); }, &message),
            zvk::ArchiveException::BadSchema);
  EXPECT_EQ(message, BadSchemaAt("ItemRelationships.cpp", 185));
  EXPECT_FALSE(table.IsEmpty());

  ItemRelationships empty;
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_EQ(WrittenStatic(empty), (std::vector<uint8_t>{0x00, 0x01, 0, 0, 0, 0}));
}
