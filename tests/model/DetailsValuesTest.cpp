#include "Details.h"
#include "DetailsTags.h"
#include "DetailsValues.h"
#include "GoldenBytes.h"
#include "MyException.h"

#include <gtest/gtest.h>

#include <string>

using modeltest::ArchiveErrorKind;
using modeltest::GoldenBytes;
using zvk::ArchiveException;

namespace {

COleVariant Typed(VARTYPE type, LONG bits) {
  COleVariant v;
  v.vt = type;
  v.lVal = bits;
  return v;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

COleVariant ArrayOf(VARTYPE elementType, ULONG count) {
  COleVariant v;
  SAFEARRAYBOUND bound = {count, 0};
  v.vt = VT_ARRAY | elementType;
  v.parray = SafeArrayCreate(elementType, 1, &bound);
  return v;
}

}  // namespace

TEST(DetailsValues, SetGetAndEmptyValues) {
  DetailsValues values;
  EXPECT_TRUE(values.IsEmpty());
  const VARIANT& missing = values.Get("none");
  EXPECT_EQ(missing.vt, VT_EMPTY);
  EXPECT_EQ(&values.Get("other"), &missing);  // one shared empty value

  values.Set("A", COleVariant());  // an empty value of a new id is an entry
  EXPECT_FALSE(values.IsEmpty());
  EXPECT_TRUE(values.Contains("A"));
  values.Set("A", COleVariant());  // ...and an empty value erases an existing one
  EXPECT_FALSE(values.Contains("A"));

  values.Set("B", COleVariant(7L));
  values.Set("B", COleVariant("seven"));
  EXPECT_EQ(values.Get("B").vt, VT_BSTR);
  values.Remove("B");
  values.Remove("B");
  EXPECT_TRUE(values.IsEmpty());
}

TEST(DetailsValues, CopiesShareUntilOneChangesAndCopyTheirValues) {
  DetailsValues original;
  original.Set("1", COleVariant("one"));
  DetailsValues copy = original;
  EXPECT_TRUE(copy.SharesBodyWith(original));
  copy.Set("1", COleVariant("uno"));
  copy.Set("2", COleVariant(2L));
  EXPECT_FALSE(copy.SharesBodyWith(original));
  EXPECT_EQ(CString(original.Get("1").bstrVal), "one");
  EXPECT_EQ(CString(copy.Get("1").bstrVal), "uno");
  EXPECT_FALSE(original.Contains("2"));
  EXPECT_EQ(original.GetRefCount(), 1);

  DetailsValues other = original;
  other.Remove("1");
  EXPECT_TRUE(original.Contains("1"));
  DetailsValues cleared = original;
  cleared.Clear();
  EXPECT_TRUE(cleared.IsEmpty());
  EXPECT_FALSE(original.IsEmpty());

  DetailsValues merged;
  merged.Set("1", COleVariant("x"));
  merged.Set("3", COleVariant(3L));
  merged.Merge(copy);
  EXPECT_EQ(CString(merged.Get("1").bstrVal), "uno");
  EXPECT_EQ(merged.GetCount(), 3);
}

TEST(DetailsValues, ValuesThatCannotBeStoredAreRefusedOnTheWayIn) {
  DetailsValues values;
  values.Set("keep", COleVariant(1L));
  COleVariant dispatch;
  dispatch.vt = VT_DISPATCH;
  dispatch.pdispVal = nullptr;
  COleVariant big;
  big.vt = VT_I8;
  big.llVal = 5;
  for (const COleVariant& bad : {ArrayOf(VT_BSTR, 2), ArrayOf(VT_VARIANT, 1), dispatch, big}) {
    try {
      values.Set("bad", bad);
      ADD_FAILURE() << "accepted type " << bad.vt;
    } catch (const CMyException& e) {
      EXPECT_EQ(e.code, DISP_E_BADVARTYPE);
    }
  }
  EXPECT_FALSE(values.Contains("bad"));
  EXPECT_EQ(values.GetCount(), 1);

  // Arrays of raw elements go in, an empty one included, and save without a throw.
  values.Set("array", ArrayOf(VT_R8, 3));
  values.Set("none", ArrayOf(VT_UI1, 0));
  zvk::ArchiveMemory archive;
  EXPECT_NO_THROW(values.Write(archive));
}

TEST(DetailsValues, BlockRoundTripsInKeyOrder) {
  DetailsValues values;
  values.Set("10", COleVariant("AB"));
  values.Set("9", COleVariant(short(5)));
  values.Set("B", Typed(VT_NULL, 0));
  values.Set("A", COleVariant());
  values.Set("E", Typed(VT_ERROR, static_cast<LONG>(0x80020004)));
  values.Set("U", COleVariant(BYTE(0x7F)));
  GoldenBytes golden;
  golden.u16(0x0100).u32(6);
  // Keys without a leading number count as 0: they come before 9, which comes before 10.
  golden.id("A").u16(VT_EMPTY);
  golden.id("B").u16(VT_NULL);
  golden.id("E").u16(VT_ERROR).u32(0x80020004u);
  golden.id("U").u16(VT_UI1).u8(0x7F);
  golden.id("9").u16(VT_I2).u16(5);
  golden.id("10").u16(VT_BSTR).u32(4).raw("A\0B\0", 4);
  EXPECT_EQ(modeltest::WrittenBytes(values), golden.bytes);

  DetailsValues read;
  bool all = false;
  modeltest::ReadFromBytes(read, golden.bytes, &all);
  EXPECT_TRUE(all);
  EXPECT_TRUE(read.Contains("A"));
  EXPECT_EQ(modeltest::WrittenBytes(read), golden.bytes);
}

TEST(DetailsValues, ReaderKeepsWhatTheFileHolds) {
  // Repeats: the later value wins, a later empty value erases; a text array is kept as read.
  GoldenBytes bytes;
  bytes.u16(0x0101).u32(5);
  bytes.id("X").u16(VT_I4).i32(1);
  bytes.id("X").u16(VT_I4).i32(2);
  bytes.id("Y").u16(VT_I4).i32(3);
  bytes.id("Y").u16(VT_EMPTY);
  bytes.id("Z").u16(VT_ARRAY | VT_BSTR).u16(VT_BSTR).u32(1).i32(0).u32(1);
  DetailsValues read;
  modeltest::ReadFromBytes(read, bytes.bytes);
  EXPECT_EQ(read.Get("X").lVal, 2);
  EXPECT_FALSE(read.Contains("Y"));
  EXPECT_EQ(read.Get("Z").vt, VT_ARRAY | VT_BSTR);
  GoldenBytes rewritten;
  rewritten.u16(0x0100).u32(2).id("X").u16(VT_I4).i32(2);
  rewritten.id("Z").u16(VT_ARRAY | VT_BSTR).u16(VT_BSTR).u32(1).i32(0).u32(1);
  EXPECT_EQ(modeltest::WrittenBytes(read), rewritten.bytes);
}

TEST(DetailsValues, BadBlocksFailWithTheirPlace) {
  DetailsValues target;
  target.Set("old", COleVariant(1L));
  std::string message;
  EXPECT_EQ(ArchiveErrorKind(
                [&] { modeltest::ReadFromBytes(target, GoldenBytes().u16(0x0200).u32(0).bytes); }, &message),
            ArchiveException::BadSchema);
  EXPECT_TRUE(EndsWith(message, "\nDetailsValues.cpp(108)")) << message;
  EXPECT_TRUE(target.Contains("old"));

  struct Case {
    const char* what;
    GoldenBytes bytes;
    int kind;
  } cases[] = {
      {"identifier of a newer major", GoldenBytes().u16(0x0100).u32(1).u16(0x0200).text("A").u16(0),
       ArchiveException::BadSchema},
      {"value of an unknown type", GoldenBytes().u16(0x0100).u32(1).id("A").u16(VT_UNKNOWN).u64(0),
       ArchiveException::BadSchema},
      {"count beyond the data", GoldenBytes().u16(0x0100).u32(0x7FFFFFFF).id("A").u16(0),
       ArchiveException::EndOfFile},
      {"text longer than the data",
       GoldenBytes().u16(0x0100).u32(1).id("A").u16(VT_BSTR).u32(100).raw("A\0", 2),
       ArchiveException::EndOfFile},
  };
  for (Case& c : cases) {
    DetailsValues values;
    EXPECT_EQ(ArchiveErrorKind([&] { modeltest::ReadFromBytes(values, c.bytes.bytes); }), c.kind) << c.what;
  }
}

TEST(Details, BlockCarriesFieldsThenValues) {
  Details details;
  details.fields.Add(DetailField("F1", "Name", DetailTypeText, DetailRoleWholeName));
  details.values.Set("F1", COleVariant("Jo"));
  GoldenBytes golden;
  golden.u16(0x0100);
  golden.u16(0x0100).u32(1).u16(0x0100).id("F1").text("Name").u32(0).text("").text("").u32(1);
  golden.u16(0x0100).u32(1).id("F1").u16(VT_BSTR).u32(4).raw("J\0o\0", 4);
  EXPECT_EQ(modeltest::WrittenBytes(details), golden.bytes);

  Details read;
  modeltest::ReadFromBytes(read, golden.bytes);
  EXPECT_TRUE(read.fields.IsEqual(details.fields));
  EXPECT_EQ(modeltest::WrittenBytes(read), golden.bytes);

  std::string message;
  std::vector<uint8_t> newer = golden.bytes;
  newer[1] = 0x02;
  EXPECT_EQ(ArchiveErrorKind([&] { modeltest::ReadFromBytes(read, newer); }, &message),
            ArchiveException::BadSchema);
  EXPECT_TRUE(EndsWith(message, "\nDetails.cpp(57)")) << message;
  std::vector<uint8_t> minor = golden.bytes;
  minor[0] = 0x01;
  EXPECT_NO_THROW(modeltest::ReadFromBytes(read, minor));
}

TEST(Details, ViewSharesTheGivenBodiesAndMergeJoinsBoth) {
  DetailsFields fields;
  fields.Add(DetailField("A", "City", DetailTypeText, 0));
  DetailsValues values;
  values.Set("A", COleVariant("Oslo"));
  Details view(fields, values);
  EXPECT_TRUE(view.fields.SharesBodyWith(fields));
  EXPECT_TRUE(view.values.SharesBodyWith(values));

  Details own;
  own.fields.Add(DetailField("B", "city", DetailTypeText, 0));
  own.values.Set("B", COleVariant("Bergen"));
  view.Merge(own);
  EXPECT_EQ(view.fields.GetByName("CITY").id, "B");
  EXPECT_EQ(CString(view.values.Get("B").bstrVal), "Bergen");
  EXPECT_EQ(fields.GetByName("CITY").id, "A");  // the level's own set is untouched
  EXPECT_FALSE(values.Contains("B"));
}

TEST(DetailsTags, BlockRoundTripsAndComparesByKind) {
  DetailsTags tags;
  tags.entries[0].text = "zero";
  tags.SetTagText("@<Firstname> @<Lastname>");
  tags.entries[3].kind = 1;
  tags.entries[3].text = "three";
  GoldenBytes golden;
  golden.u16(0x0100);
  golden.u16(0x0100).u8(0).text("zero");
  golden.u16(0x0100).u8(0).text("@<Firstname> @<Lastname>");
  golden.u16(0x0100).u8(0).text("");
  golden.u16(0x0100).u8(1).text("three");
  EXPECT_EQ(modeltest::WrittenBytes(tags), golden.bytes);
  DetailsTags read;
  modeltest::ReadFromBytes(read, golden.bytes);
  EXPECT_TRUE(read.IsEqual(tags));
  EXPECT_EQ(modeltest::WrittenBytes(read), golden.bytes);

  DetailsTags other = tags;  // a plain value: the copy is its own
  other.entries[3].text = "different";
  EXPECT_TRUE(other.IsEqual(tags));  // kind 1: texts not compared
  other.SetTagText("@no");
  EXPECT_FALSE(other.IsEqual(tags));
  EXPECT_EQ(tags.GetTagText(), "@<Firstname> @<Lastname>");

  std::string message;
  std::vector<uint8_t> newerBlock = golden.bytes;
  newerBlock[1] = 0x02;
  EXPECT_EQ(ArchiveErrorKind([&] { modeltest::ReadFromBytes(read, newerBlock); }, &message),
            ArchiveException::BadSchema);
  EXPECT_TRUE(EndsWith(message, "\nDetailsTags.cpp(60)")) << message;
  std::vector<uint8_t> newerEntry = golden.bytes;
  newerEntry[3] = 0x02;
  EXPECT_EQ(ArchiveErrorKind([&] { modeltest::ReadFromBytes(read, newerEntry); }, &message),
            ArchiveException::BadSchema);
  EXPECT_TRUE(EndsWith(message, "\nDetailsTags.cpp(43)")) << message;
  std::vector<uint8_t> minor = golden.bytes;
  minor[0] = 0x01;
  minor[2] = 0x01;
  EXPECT_NO_THROW(modeltest::ReadFromBytes(read, minor));
  for (size_t length = 0; length < golden.bytes.size(); ++length) {
    std::vector<uint8_t> cut(golden.bytes.begin(), golden.bytes.begin() + length);
    DetailsTags target;
    EXPECT_EQ(ArchiveErrorKind([&] { modeltest::ReadFromBytes(target, cut); }), ArchiveException::EndOfFile);
  }
}

TEST(Details, DamagedBlocksNeverCrashOrAllocateWithoutBound) {
  Details details;
  details.fields.Add(DetailField("F1", "Name", DetailTypeText, DetailRoleWholeName));
  details.fields.Add(DetailField("F2", "Sizes", DetailTypeReal, DetailRoleNone));
  details.values.Set("F1", COleVariant("Anna Berg"));
  details.values.Set("F2", ArrayOf(VT_R8, 3));
  details.values.Set("F3", COleVariant(3.5));
  std::vector<uint8_t> golden = modeltest::WrittenBytes(details);
  int failures = 0;
  for (size_t position = 0; position < golden.size(); ++position) {
    for (uint8_t flip :
         {uint8_t(0x00), uint8_t(0xFF), uint8_t(golden[position] ^ 0x80), uint8_t(golden[position] + 1)}) {
      std::vector<uint8_t> damaged = golden;
      damaged[position] = flip;
      Details target;
      try {
        modeltest::ReadFromBytes(target, damaged);
      } catch (const zvk::ArchiveException&) {
        ++failures;
      } catch (const CMyException& e) {
        EXPECT_EQ(e.code, E_INVALIDARG) << "position " << position;  // a repeated name or role
      } catch (const std::exception& e) {
        ADD_FAILURE() << "position " << position << ": " << e.what();
      }
    }
  }
  EXPECT_GT(failures, 0);
}
