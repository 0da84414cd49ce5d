#include "DetailsFields.h"
#include "GoldenBytes.h"
#include "MyException.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using modeltest::ArchiveErrorKind;
using modeltest::GoldenBytes;
using zvk::ArchiveException;

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The code and the "file(line)" tail of the CMyException a call throws.
template <class F>
std::string MyExceptionPlace(F&& call, HRESULT* code = nullptr) {
  try {
    call();
  } catch (const CMyException& e) {
    if (code) *code = e.code;
    std::string message = e.what();
    size_t blank = message.rfind(' ');
    return blank == std::string::npos ? message : message.substr(blank + 1);
  }
  return "no exception";
}

DetailField Field(const char* id, const char* name, int type = DetailTypeText, int role = DetailRoleNone) {
  return DetailField(id, name, type, role);
}

// Every field type and every special role once.
DetailsFields EveryKindOfField() {
  DetailsFields fields;
  fields.Add(Field("F0", "Notes", DetailTypeText, DetailRoleNone));
  fields.Add(Field("F1", "Name", DetailTypeText, DetailRoleWholeName));
  fields.Add(Field("F2", "First", DetailTypeText, DetailRoleFirstName));
  fields.Add(Field("F3", "Last", DetailTypeText, DetailRoleLastName));
  fields.Add(Field("F4", "Middle", DetailTypeText, DetailRoleMiddleName));
  fields.Add(Field("F5", "Born", DetailTypeDate, DetailRoleBirthdate));
  fields.Add(Field("F6", "Number", DetailTypeInteger, DetailRoleUnique));
  fields.Add(Field("F7", "Sequence", DetailTypeReal, DetailRoleOrder));
  fields.Add(Field("F8", "Price", DetailTypeCurrency));
  fields.Add(Field("F9", "Paid", DetailTypeYesNo));
  fields.Add(Field("FA", "Logo", DetailTypeGraphic));
  return fields;
}

GoldenBytes FieldRecord(const char* id, const char* name, uint32_t type, const char* r1, const char* r2,
                        uint32_t role, uint16_t schema = 0x0100) {
  GoldenBytes b;
  b.u16(schema).id(id).text(name).u32(type).text(r1).text(r2).u32(role);
  return b;
}

GoldenBytes EveryKindOfFieldBytes() {
  GoldenBytes b;
  b.u16(0x0100).u32(11);
  b.append(FieldRecord("F0", "Notes", 0, "", "", 0));
  b.append(FieldRecord("F1", "Name", 0, "", "", 1));
  b.append(FieldRecord("F2", "First", 0, "", "", 2));
  b.append(FieldRecord("F3", "Last", 0, "", "", 3));
  b.append(FieldRecord("F4", "Middle", 0, "", "", 4));
  b.append(FieldRecord("F5", "Born", 3, "", "", 5));
  b.append(FieldRecord("F6", "Number", 1, "", "", 6));
  b.append(FieldRecord("F7", "Sequence", 2, "", "", 7));
  b.append(FieldRecord("F8", "Price", 4, "", "", 0));
  b.append(FieldRecord("F9", "Paid", 5, "", "", 0));
  b.append(FieldRecord("FA", "Logo", 6, "", "", 0));
  return b;
}

std::vector<std::string> Names(const DetailsFields& fields) {
  std::vector<std::string> names;
  for (int i = 0; i < fields.GetCount(); ++i) names.push_back(fields.GetAt(i).name.str());
  return names;
}

}  // namespace

TEST(DetailsFields, LookupsByIdNameAndRole) {
  DetailsFields fields = EveryKindOfField();
  EXPECT_EQ(fields.GetCount(), 11);
  EXPECT_EQ(fields.Get("F3").name, "Last");
  EXPECT_EQ(fields.GetByName("lAsT").id, "F3");
  EXPECT_EQ(fields.GetBySpecial(DetailRoleOrder).id, "F7");
  EXPECT_TRUE(fields.HasId("FA"));
  EXPECT_TRUE(fields.HasName("PRICE"));
  EXPECT_TRUE(fields.HasSpecial(DetailRoleUnique));
  EXPECT_FALSE(fields.HasSpecial(DetailRoleNone));

  HRESULT code = S_OK;
  EXPECT_EQ(MyExceptionPlace([&] { fields.Get("nope"); }, &code), "DetailsFields.cpp(40)");
  EXPECT_EQ(code, E_INVALIDARG);
  EXPECT_EQ(MyExceptionPlace([&] { fields.GetByName("nope"); }), "DetailsFields.cpp(52)");
  EXPECT_EQ(MyExceptionPlace([&] { fields.GetBySpecial(DetailRoleNone); }), "DetailsFields.cpp(62)");

  DetailsFields empty;
  EXPECT_FALSE(empty.HasSpecial(DetailRoleNone));
  try {
    fields.GetAt(fields.GetCount());
    FAIL() << "no exception";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
  }
  EXPECT_THROW(fields.RemoveAt(-1), std::out_of_range);
}

TEST(DetailsFields, AddRefusesRepeatedNamesAndRolesWithoutChangingTheSet) {
  DetailsFields fields;
  fields.Add(Field("A", "Name", DetailTypeText, DetailRoleLastName));
  EXPECT_EQ(MyExceptionPlace([&] { fields.Add(Field("B", "name")); }), "DetailsFields.cpp(92)");
  EXPECT_EQ(MyExceptionPlace([&] { fields.Add(Field("C", "Other", DetailTypeText, DetailRoleLastName)); }),
            "DetailsFields.cpp(94)");
  EXPECT_EQ(fields.GetCount(), 1);
  EXPECT_FALSE(fields.HasId("B"));
  EXPECT_FALSE(fields.HasName("Other"));
  fields.Add(Field("D", "Plain"));
  fields.Add(Field("E", "Plain too"));
  EXPECT_EQ(fields.GetCount(), 3);
}

TEST(DetailsFields, CopiesShareUntilOneChanges) {
  DetailsFields original = EveryKindOfField();
  DetailsFields copy = original;
  EXPECT_TRUE(copy.SharesBodyWith(original));
  EXPECT_EQ(original.GetRefCount(), 2);

  copy.Add(Field("X", "Extra"));
  EXPECT_FALSE(copy.SharesBodyWith(original));
  EXPECT_EQ(original.GetCount(), 11);
  EXPECT_EQ(copy.GetCount(), 12);
  EXPECT_FALSE(original.HasName("Extra"));

  // The copy's indexes point at its own records: removing there leaves the original whole.
  DetailsFields second = original;
  second.Remove(&second.GetByName("Last"));
  EXPECT_FALSE(second.HasSpecial(DetailRoleLastName));
  EXPECT_TRUE(original.HasSpecial(DetailRoleLastName));
  EXPECT_EQ(&original.GetByName("Last"), &original.Get("F3"));

  DetailsFields assigned;
  assigned = original;
  assigned.Clear();
  EXPECT_EQ(assigned.GetCount(), 0);
  EXPECT_EQ(original.GetCount(), 11);
  EXPECT_EQ(original.GetRefCount(), 1);
}

TEST(DetailsFields, RemoveKeepsEveryIndexInStep) {
  DetailsFields fields = EveryKindOfField();
  fields.RemoveAt(3);  // Last, role 3
  EXPECT_FALSE(fields.HasId("F3"));
  EXPECT_FALSE(fields.HasName("Last"));
  EXPECT_FALSE(fields.HasSpecial(DetailRoleLastName));
  fields.Add(Field("F3", "Last", DetailTypeText, DetailRoleLastName));  // name and role free again
  EXPECT_EQ(Names(fields).back(), "Last");

  // A repeated id stays findable through the other record once the first goes.
  DetailsFields twins;
  twins.Add(Field("T", "One"));
  twins.Add(Field("T", "Two"));
  EXPECT_EQ(twins.Get("T").name, "One");
  twins.RemoveAt(0);
  EXPECT_EQ(twins.Get("T").name, "Two");
}

TEST(DetailsFields, MergeReplacesByIdAndByNameAndAppends) {
  DetailsFields base;
  base.Add(Field("A", "Name"));
  base.Add(Field("B", "City"));
  base.Add(Field("C", "Phone"));
  DetailsFields other;
  other.Add(Field("Z", "name", DetailTypeInteger));  // same name, other id
  other.Add(Field("B", "Town"));                     // same id, other name
  base.Merge(other);
  EXPECT_EQ(Names(base), (std::vector<std::string>{"Phone", "name", "Town"}));
  EXPECT_EQ(base.GetByName("NAME").id, "Z");
  EXPECT_EQ(base.GetByName("NAME").type, DetailTypeInteger);

  // A role held by a record that stays makes the merge stop there; what came before is merged.
  DetailsFields withRole;
  withRole.Add(Field("R", "Surname", DetailTypeText, DetailRoleLastName));
  DetailsFields clash;
  clash.Add(Field("N", "Nick"));
  clash.Add(Field("L", "Last", DetailTypeText, DetailRoleLastName));
  // The refused record's namesakes (by id and by name) are checked for before they go, so they stay.
  withRole.Add(Field("L", "Family"));
  withRole.Add(Field("X", "Last"));
  EXPECT_EQ(MyExceptionPlace([&] { withRole.Merge(clash); }), "DetailsFields.cpp(94)");
  EXPECT_EQ(Names(withRole), (std::vector<std::string>{"Surname", "Family", "Last", "Nick"}));
  // The role's own holder may be replaced by its id or its name.
  DetailsFields byId;
  byId.Add(Field("L", "Last name"));
  byId.Add(Field("N", "Nick"));
  withRole.Merge(byId);
  DetailsFields sameHolder;
  sameHolder.Add(Field("R", "Family name", DetailTypeText, DetailRoleLastName));
  withRole.Merge(sameHolder);
  EXPECT_EQ(withRole.GetBySpecial(DetailRoleLastName).name, "Family name");
  EXPECT_EQ(Names(withRole), (std::vector<std::string>{"Last", "Last name", "Nick", "Family name"}));

  // Merging a set into a sharer of its own body works on stable records.
  DetailsFields self = other;
  self.Merge(other);
  EXPECT_TRUE(self.IsEqual(other));
  EXPECT_EQ(other.GetCount(), 2);
}

TEST(DetailsFields, BlockRoundTripsByteForByte) {
  DetailsFields fields = EveryKindOfField();
  std::vector<uint8_t> golden = EveryKindOfFieldBytes().bytes;
  EXPECT_EQ(modeltest::WrittenBytes(fields), golden);

  DetailsFields read;
  bool all = false;
  modeltest::ReadFromBytes(read, golden, &all);
  EXPECT_TRUE(all);
  EXPECT_TRUE(read.IsEqual(fields));
  EXPECT_EQ(modeltest::WrittenBytes(read), golden);
  EXPECT_EQ(read.GetBySpecial(DetailRoleBirthdate).type, DetailTypeDate);
  EXPECT_EQ(read.Get("FA").type, DetailTypeGraphic);
}

TEST(DetailsFields, ReservedTextsAreKeptAndCompared) {
  GoldenBytes golden;
  golden.u16(0x0100).u32(1).append(FieldRecord("ID1", "Note", 0, "a", "b", 0));
  DetailsFields read;
  modeltest::ReadFromBytes(read, golden.bytes);
  EXPECT_EQ(read.GetAt(0).reserved1, "a");
  EXPECT_EQ(read.GetAt(0).reserved2, "b");
  EXPECT_EQ(modeltest::WrittenBytes(read), golden.bytes);

  DetailField plain = read.GetAt(0);
  plain.reserved1.Empty();
  plain.reserved2.Empty();
  EXPECT_FALSE(plain.IsEqual(read.GetAt(0)));
  DetailField otherCase = read.GetAt(0);
  otherCase.name = "NOTE";
  EXPECT_FALSE(otherCase.IsEqual(read.GetAt(0)));
}

TEST(DetailsFields, NewerMinorVersionsReadAndNewerMajorsRefuse) {
  // Minor 1 in the block, the record and the identifier block: read, and written back as minor 0.
  GoldenBytes minor;
  minor.u16(0x0101).u32(1).u16(0x0101).u16(0x0101).text("ID").text("Name").u32(0).text("").text("").u32(1);
  DetailsFields read;
  modeltest::ReadFromBytes(read, minor.bytes);
  ASSERT_EQ(read.GetCount(), 1);
  EXPECT_EQ(read.GetAt(0).id, "ID");
  GoldenBytes rewritten;
  rewritten.u16(0x0100).u32(1).append(FieldRecord("ID", "Name", 0, "", "", 1));
  EXPECT_EQ(modeltest::WrittenBytes(read), rewritten.bytes);

  struct Case {
    const char* what;
    GoldenBytes bytes;
    std::string place;
  } cases[] = {
      {"block", GoldenBytes().u16(0x0200).u32(0), "DetailsFields.cpp(336)"},
      {"record", GoldenBytes().u16(0x0100).u32(1).append(FieldRecord("ID", "N", 0, "", "", 0, 0x0200)),
       "DetailsFields.cpp(315)"},
      {"identifier", GoldenBytes().u16(0x0100).u32(1).u16(0x0100).u16(0x0200).text("ID"), "ObjectID.h(74)"},
  };
  for (Case& c : cases) {
    DetailsFields target = EveryKindOfField();
    std::string message;
    EXPECT_EQ(ArchiveErrorKind([&] { modeltest::ReadFromBytes(target, c.bytes.bytes); }, &message),
              ArchiveException::BadSchema)
        << c.what;
    EXPECT_TRUE(EndsWith(message, "\n" + c.place)) << c.what << ": " << message;
    if (std::string(c.what) == "block") EXPECT_EQ(target.GetCount(), 11);  // untouched
  }
}

TEST(DetailsFields, TruncatedAndOverpromisingBlocksEndOfFile) {
  std::vector<uint8_t> golden = EveryKindOfFieldBytes().bytes;
  for (size_t length = 0; length < golden.size(); ++length) {
    std::vector<uint8_t> cut(golden.begin(), golden.begin() + length);
    DetailsFields target;
    EXPECT_EQ(ArchiveErrorKind([&] { modeltest::ReadFromBytes(target, cut); }), ArchiveException::EndOfFile)
        << "length " << length;
  }
  // A count far beyond the data: no allocation up front, just EndOfFile after the records there are.
  GoldenBytes huge;
  huge.u16(0x0100).u32(0xFFFFFFFFu).append(FieldRecord("A", "One", 0, "", "", 0));
  DetailsFields target;
  EXPECT_EQ(ArchiveErrorKind([&] { modeltest::ReadFromBytes(target, huge.bytes); }),
            ArchiveException::EndOfFile);
  EXPECT_EQ(target.GetCount(), 1);

  // A stream that repeats a name stops at the repeat; the records before stay.
  GoldenBytes repeated;
  repeated.u16(0x0100)
      .u32(2)
      .append(FieldRecord("A", "Same", 0, "", "", 0))
      .append(FieldRecord("B", "SAME", 0, "", "", 0));
  DetailsFields twice;
  EXPECT_EQ(MyExceptionPlace([&] { modeltest::ReadFromBytes(twice, repeated.bytes); }),
            "DetailsFields.cpp(92)");
  EXPECT_EQ(twice.GetCount(), 1);
}
