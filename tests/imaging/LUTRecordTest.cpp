// LUT records: their stored bytes, the object they share, their table, and what becomes of a curve whose
// object cannot be loaded.
#include "LUTRecordTestSupport.h"

#include "ErrorReport.h"
#include "HandlerFrame.h"
#include "ImageProcessing.h"
#include "LutTestSupport.h"

#include "classlib/ScriptedPrompt.h"

using namespace luttest;

TEST(LUTRecordBytes, EmptyAndDefaultRecordsBothWays) {
  LUTRecord empty;
  empty.name = "N";
  empty.description = "Flat";
  const std::vector<uint8_t> emptyBytes = RecordBytes("N", "Flat", GoldenBytes()).bytes;
  ASSERT_EQ(emptyBytes.size(), 2u + 2u + 5u + 1u + 4u);
  EXPECT_EQ(Written(empty), emptyBytes);
  LUTRecord back = ReadRecord(emptyBytes);
  EXPECT_TRUE(back.IsEmpty());
  EXPECT_EQ(back.name, "N");
  EXPECT_EQ(back.description, "Flat");

  LUTRecord curve;
  curve.name = "0ABC";
  curve.description = "Warm";
  ASSERT_NE(curve.GetObject(), nullptr);
  ASSERT_EQ(DefaultObject().bytes.size(), 129u);
  const std::vector<uint8_t> golden = RecordBytes("0ABC", "Warm", DefaultObject()).bytes;
  EXPECT_EQ(Written(curve), golden);

  LUTRecord read = ReadRecord(golden);
  EXPECT_NE(read.PeekObject(), nullptr);  // a real object, not bytes waiting
  EXPECT_EQ(read.GetUnloadedObject(), nullptr);
  EXPECT_EQ(read.name, "0ABC");
  EXPECT_EQ(Written(read), golden);
}

// Objects the component stored in other forms (an advanced curve, a hand-made table) load and save as
// they were stored.
TEST(LUTRecordBytes, StoredObjectsOfEveryKindSaveUnchanged) {
  for (const char* fixture : {"advanced-v2.bin", "manual.bin"}) {
    GoldenBytes object = LutClassId();
    const std::vector<unsigned char> body = FixtureBytes(fixture);
    object.raw(body.data(), body.size());
    const std::vector<uint8_t> golden = RecordBytes("R", "D", object).bytes;
    LUTRecord read = ReadRecord(golden);
    EXPECT_NE(read.PeekObject(), nullptr) << fixture;
    EXPECT_EQ(Written(read), golden) << fixture;
  }
}

TEST(LUTRecordBytes, DamagedStructureRaisesAndLeavesTheTarget) {
  const std::vector<uint8_t> full = RecordBytes("N", "D", DefaultObject()).bytes;
  struct Case {
    std::vector<uint8_t> bytes;
    int kind;
    std::string message;
  } cases[] = {
      {GoldenBytes().u16(0x0100).text("N").text("D").u8(41).u32(0).bytes, zvk::ArchiveException::BadSchema,
       ArchiveMessage("BadSchema", "LUT.cpp", 141)},
      {GoldenBytes().u16(0x0200).text("N").text("D").u8(42).u32(0).bytes, zvk::ArchiveException::BadSchema,
       ArchiveMessage("BadSchema", "ObjectID.h", 74)},
      {GoldenBytes().u16(0x0100).text("N").text("D").u8(42).u32(0xFFFFFFF0u).u8(1).bytes,
       zvk::ArchiveException::EndOfFile, ""},
      {std::vector<uint8_t>(full.begin(), full.end() - 1), zvk::ArchiveException::EndOfFile, ""},
      {GoldenBytes().u16(0x0100).text("N").text("D").bytes, zvk::ArchiveException::EndOfFile, ""},
      {GoldenBytes().u8(1).bytes, zvk::ArchiveException::EndOfFile, ""},
  };
  for (const Case& c : cases) {
    LUTRecord target;
    target.name = "keep";
    zvk::ArchiveMemory reader = ReaderOver(c.bytes);
    std::string message;
    EXPECT_EQ(ArchiveFailure([&] { ReadLUTRecord(reader, target); }, &message), c.kind);
    if (!c.message.empty()) EXPECT_EQ(message, c.message);
    EXPECT_EQ(target.name, "keep");
  }
}

// Bytes the object refuses are kept as read: the record is a curve, writes them back as they were and
// raises when it is used.
TEST(LUTRecordBytes, RefusedObjectsAreKeptWrittenBackAndRaiseAtFirstUse) {
  GoldenBytes foreignClass = GoldenBytes().raw(&IID_IUnknown, sizeof(GUID)).append(DefaultObjectRecord());
  std::vector<uint8_t> typeTwo = DefaultObject().bytes;
  typeTwo.back() = 2;
  const GoldenBytes objects[] = {foreignClass, GoldenBytes().raw(typeTwo.data(), typeTwo.size()),
                                 LutClassId().u8(0xAA).u8(0xBB), GoldenBytes().u8(1).u8(2).u8(3)};
  const std::string refused = ArchiveMessage("Unknown", "LUT.cpp", 164);
  for (const GoldenBytes& object : objects) {
    const std::vector<uint8_t> golden = RecordBytes("K", "Kept", object).bytes;
    LUTRecord read = ReadRecord(golden);
    EXPECT_FALSE(read.IsEmpty());
    EXPECT_EQ(read.PeekObject(), nullptr);
    EXPECT_EQ(Written(read), golden);
    ImageProcessing processing;
    processing.lut = read;
    EXPECT_TRUE(processing.IsActive());

    std::string message;
    EXPECT_EQ(ArchiveFailure([&] { read.GetObject(); }, &message), zvk::ArchiveException::Unknown);
    EXPECT_EQ(message, refused);
    _variant_t table;
    EXPECT_EQ(ArchiveFailure([&] { read.GetTable(&table); }), zvk::ArchiveException::Unknown);
    EXPECT_EQ(Written(read), golden);  // a failed use changes nothing
  }
}

TEST(LUTRecordBytes, AnObjectThatCannotBeSavedIsRaisedNotStoredAsTheIdentity) {
  LUTRecord record;
  record.name = "G";
  ILut* lut = record.GetObject();
  // A hand-made curve of a grey channel set is one the object refuses to save.
  ASSERT_EQ(lut->put_Type(ltManual), S_OK);
  ASSERT_EQ(lut->put_ChannelSet(csGreyscale), S_OK);
  zvk::ArchiveMemory archive;
  EXPECT_EQ(ComFailure([&] { WriteLUTRecord(archive, record); }), E_FAIL);
  EXPECT_EQ(archive.GetSize(), 0u);
}

TEST(LUTRecordObject, CopiesShareTheObjectAndTheDeviceTypeFollowsTheFlag) {
  LUTRecord first;
  first.GetObject();
  LUTRecord second = first;
  PutAll(second, L"Gamma", _variant_t(2.2f));
  EXPECT_EQ(Plane(first, 0)[128], 186);
  EXPECT_TRUE(first == second);

  LUT_DEVICETYPE type = dtInput;
  LUTRecord output;
  output.SetOutput();
  ASSERT_EQ(output.GetObject()->get_DeviceType(&type), S_OK);
  EXPECT_EQ(type, dtOutput);
  LUTRecord copy = output;
  copy.SetInput();
  ASSERT_EQ(output.PeekObject()->get_DeviceType(&type), S_OK);
  EXPECT_EQ(type, dtInput);
  copy.SetOutput();
  ASSERT_EQ(output.PeekObject()->get_DeviceType(&type), S_OK);
  EXPECT_EQ(type, dtOutput);

  // Without an object only the flag changes; the object made later follows it.
  LUTRecord blank;
  blank.SetOutput();
  EXPECT_TRUE(blank.IsEmpty());
  EXPECT_EQ(blank.GetOutput(), 1);
}

TEST(LUTRecordObject, TablesOfEmptyAndDefaultRecordsAndAFailingGet) {
  LUTRecord empty;
  _variant_t table(5L);
  EXPECT_EQ(empty.GetTable(&table), S_OK);
  EXPECT_EQ(table.vt, VT_EMPTY);

  LUTRecord curve;
  curve.GetObject();
  ASSERT_EQ(curve.GetTable(&table), S_OK);
  ASSERT_EQ(table.vt, VT_ARRAY | VT_UI1);
  ASSERT_EQ(SafeArrayGetDim(table.parray), 2u);
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(table.parray, 1, &lower);
  SafeArrayGetUBound(table.parray, 1, &upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 255);
  SafeArrayGetLBound(table.parray, 2, &lower);
  SafeArrayGetUBound(table.parray, 2, &upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 3);
  for (int plane = 0; plane < 4; ++plane) {
    std::vector<int> entries = Plane(curve, plane);
    ASSERT_EQ(entries.size(), 256u);
    EXPECT_EQ(entries[0], 0);
    EXPECT_EQ(entries[77], 77);
    EXPECT_EQ(entries[255], 255);
  }

  // A hand-made curve without its tables cannot be computed: the get's failure is returned.
  ASSERT_EQ(curve.GetObject()->put_Type(ltManual), S_OK);
  HRESULT hr = S_OK;
  EXPECT_NO_THROW(hr = curve.GetTable(&table));
  EXPECT_TRUE(FAILED(hr));
}

TEST(LUTRecordObject, WithoutTheComponentCurvesAreKeptAndTheFailureIsReported) {
  const std::vector<uint8_t> golden = RecordBytes("Kept", "", DefaultObject()).bytes;
  LUTRecord kept;
  {
    ServerUnregistered unregistered;
    LUTRecord fresh;
    EXPECT_EQ(ComFailure([&] { fresh.GetObject(); }), REGDB_E_CLASSNOTREG);
    EXPECT_TRUE(fresh.IsEmpty());

    kept = ReadRecord(golden);
    EXPECT_FALSE(kept.IsEmpty());
    EXPECT_EQ(kept.PeekObject(), nullptr);
    EXPECT_EQ(Written(kept), golden);
    EXPECT_EQ(ComFailure([&] { kept.GetObject(); }), REGDB_E_CLASSNOTREG);

    // The program's report path shows it as it shows every COM error.
    CScriptedPrompt prompt;
    prompt.FailWhenEmpty(true);
    EXPECT_FALSE(RunInHandlerFrame([&] {
      LUTRecord record;
      record.GetObject();
    }));
    ReportComError(_com_error(REGDB_E_CLASSNOTREG));
    std::vector<CScriptedPrompt::Shown> shown = prompt.GetShown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].flags, ErrorBoxFlags);
    EXPECT_FALSE(shown[0].text.IsEmpty());
    EXPECT_EQ(shown[0].text, shown[1].text);
  }
  // Registered again: the kept bytes load at their first use.
  ASSERT_NE(kept.GetObject(), nullptr);
  EXPECT_EQ(kept.GetUnloadedObject(), nullptr);
  EXPECT_EQ(Plane(kept, 0)[200], 200);
  EXPECT_EQ(Written(kept), golden);
}
