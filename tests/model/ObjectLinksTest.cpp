// The link tables: their shared layout, the one-many edits and the normalisations of repeated keys.
#include "ImageRecordBytes.h"

#include "ObjectLinksManyMany.h"
#include "ObjectLinksOneMany.h"
#include "ObjectLinksOneOne.h"

#include <gtest/gtest.h>

using imagetest::BadSchemaAt;
using imagetest::GoldenBytes;
using imagetest::ReadStatic;
using imagetest::WrittenStatic;
using modeltest::ArchiveErrorKind;

namespace {

std::vector<CString> Texts(const SharedStringList& list) {
  std::vector<CString> texts;
  for (int i = 0; i < list.GetCount(); ++i) texts.push_back(list[i]);
  return texts;
}

GoldenBytes Pairs(std::initializer_list<std::pair<const char*, const char*>> pairs) {
  GoldenBytes out = GoldenBytes().u16(0x0100).u32(static_cast<uint32_t>(pairs.size()));
  for (const auto& p : pairs) out.id(p.first).id(p.second);
  return out;
}

}  // namespace

TEST(ObjectLinksTest, EmptyTablesAndUnknownVersions) {
  const std::vector<uint8_t> empty{0x00, 0x01, 0, 0, 0, 0};
  ObjectLinksOneOne oneOne;
  ObjectLinksOneMany oneMany;
  ObjectLinksManyMany manyMany;
  EXPECT_TRUE(oneOne.IsEmpty());
  EXPECT_TRUE(oneMany.IsEmpty());
  EXPECT_TRUE(manyMany.IsEmpty());
  EXPECT_EQ(WrittenStatic(oneOne), empty);
  EXPECT_EQ(WrittenStatic(oneMany), empty);
  EXPECT_EQ(WrittenStatic(manyMany), empty);

  std::vector<uint8_t> newer = GoldenBytes().u16(0x0200).u32(0).bytes;
  std::string message;
  EXPECT_EQ(ArchiveErrorKind([&] { ReadStatic(oneOne, newer); }, &message), zvk::ArchiveException::BadSchema);
  EXPECT_EQ(message, BadSchemaAt("ObjectLinksOneOne.cpp", 112));
  EXPECT_EQ(ArchiveErrorKind([&] { ReadStatic(oneMany, newer); }, &message),
            zvk::ArchiveException::BadSchema);
  EXPECT_EQ(message, BadSchemaAt("ObjectLinksOneMany.cpp", 151));
  EXPECT_EQ(ArchiveErrorKind([&] { ReadStatic(manyMany, newer); }, &message),
            zvk::ArchiveException::BadSchema);
  EXPECT_EQ(message, BadSchemaAt("ObjectLinksManyMany.cpp", 151));
  std::vector<uint8_t> badId = Pairs({{"1", "2"}}).bytes;
  badId[7] = 0x02;
  EXPECT_EQ(ArchiveErrorKind([&] { ReadStatic(manyMany, badId); }, &message),
            zvk::ArchiveException::BadSchema);
  EXPECT_EQ(message, BadSchemaAt("ObjectID.h", 74));
  std::vector<uint8_t> truncated = Pairs({{"1", "2"}, {"3", "4"}}).bytes;
  truncated.pop_back();
  EXPECT_EQ(ArchiveErrorKind([&] { ReadStatic(manyMany, truncated); }), zvk::ArchiveException::EndOfFile);
  EXPECT_EQ(manyMany.GetForward().size(), 1u);
}

TEST(ObjectLinksTest, ManyManyKeepsEveryPairInKeyOrder) {
  GoldenBytes stream = Pairs({{"10", "A"}, {"9", "B"}, {"10", "C"}, {"9", "B"}});
  ObjectLinksManyMany table;
  ReadStatic(table, stream.bytes);
  EXPECT_EQ(table.GetBackward().count("B"), 2u);
  EXPECT_EQ(WrittenStatic(table), Pairs({{"9", "B"}, {"9", "B"}, {"10", "A"}, {"10", "C"}}).bytes);
}

TEST(ObjectLinksTest, OneOneRepeatedKeysReplaceAndLeaveNoStaleReverseEntry) {
  ObjectLinksOneOne table;
  ReadStatic(table, Pairs({{"F1", "I1"}, {"F2", "I2"}, {"F1", "I3"}}).bytes);
  EXPECT_EQ(table.Get("I3"), "F1");
  EXPECT_EQ(table.Get("I2"), "F2");
  // The folder's earlier image no longer names it.
  EXPECT_EQ(table.Get("I1"), "");
  EXPECT_EQ(table.GetBackward().size(), 2u);
  // An id that occurs only as a first id answers nothing.
  EXPECT_EQ(table.Get("F1"), "");
  EXPECT_EQ(WrittenStatic(table), Pairs({{"F1", "I3"}, {"F2", "I2"}}).bytes);
}

TEST(ObjectLinksTest, OneManyEditsFollowTheirRules) {
  ObjectLinksOneMany table;
  table.SetParent("c", "p");
  table.SetParent("c", "p");
  EXPECT_EQ(Texts(table.GetChildren("p")), (std::vector<CString>{"c"}));

  table.SetParent("c", "p2");
  EXPECT_EQ(table.GetParent("c"), "p2");
  EXPECT_TRUE(Texts(table.GetChildren("p")).empty());
  EXPECT_EQ(Texts(table.GetParents()), (std::vector<CString>{"p2"}));

  table.SetParent("c2", "q");
  table.SetParent("c1", "q");
  EXPECT_EQ(Texts(table.GetChildren("q")), (std::vector<CString>{"c2", "c1"}));  // link order
  EXPECT_EQ(Texts(table.GetParents()), (std::vector<CString>{"p2", "q"}));

  table.SetParent("c3", "q");
  table.SetParent("x", "other");
  table.RemoveParent("q");
  EXPECT_TRUE(Texts(table.GetChildren("q")).empty());
  for (const char* child : {"c1", "c2", "c3"}) EXPECT_EQ(table.GetParent(child), "") << child;
  EXPECT_EQ(table.GetParent("x"), "other");
  EXPECT_EQ(table.GetParent("c"), "p2");
  EXPECT_EQ(table.GetChildrenMap().count("q"), 0u);

  table.RemoveChild("c");
  EXPECT_EQ(table.GetParent("c"), "");
  EXPECT_TRUE(Texts(table.GetChildren("p2")).empty());
  table.RemoveChild("never-linked");
  table.RemoveParent("never-linked");
  EXPECT_EQ(Texts(table.GetParents()), (std::vector<CString>{"other"}));
  EXPECT_EQ(table.GetParentMap().size(), table.GetChildrenMap().size());
}

// An image listed twice in the stored image -> mask table keeps its later mask; removing the earlier
// mask must not unlink it from the current one.
TEST(ObjectLinksTest, OneManyRepeatedChildLeavesNoStaleLink) {
  ObjectLinksOneMany table;
  ReadStatic(table, Pairs({{"IMG", "MASK1"}, {"IMG", "MASK2"}, {"OTHER", "MASK1"}, {"IMG", "MASK2"}}).bytes);
  EXPECT_EQ(table.GetParent("IMG"), "MASK2");
  EXPECT_EQ(Texts(table.GetChildren("MASK1")), (std::vector<CString>{"OTHER"}));
  EXPECT_EQ(Texts(table.GetChildren("MASK2")), (std::vector<CString>{"IMG"}));

  table.RemoveParent("MASK1");
  EXPECT_EQ(table.GetParent("IMG"), "MASK2");
  EXPECT_EQ(table.GetParent("OTHER"), "");
  table.RemoveChild("IMG");
  EXPECT_TRUE(table.IsEmpty());
  EXPECT_TRUE(table.GetChildrenMap().empty());

  ObjectLinksOneMany reread;
  ReadStatic(reread, Pairs({{"B", "M"}, {"A", "M"}, {"B", "N"}}).bytes);
  EXPECT_EQ(WrittenStatic(reread), Pairs({{"A", "M"}, {"B", "N"}}).bytes);
}
