// The image record's stored layouts, byte for byte in both directions.
#include "ImageRecordBytes.h"

#include "ImageRecord.h"

#include <gtest/gtest.h>

using imagetest::BadSchemaAt;
using imagetest::ColourBlock;
using imagetest::GoldenBytes;
using imagetest::ReadRecord;
using imagetest::RecordHead;
using imagetest::Written;
using modeltest::ArchiveErrorKind;

namespace {

const char* const Id = "1K8M2Q7R4T0V3X5Z9B6D8F2H1";

ImageRecord BareRecord() {
  ImageRecord record;
  record.id = Id;
  record.number = 12;
  record.fileName = "DSC_0012.JPG";
  return record;
}

RecordHead BareHead() {
  RecordHead head;
  head.id = Id;
  head.number = 12;
  head.fileName = "DSC_0012.JPG";
  return head;
}

GoldenBytes HueKeyBlock(uint8_t on, uint32_t colour, int16_t offset, int16_t range, int16_t third,
                        float threshold, float smoothing) {
  return GoldenBytes()
      .u16(0x0100)
      .u8(on)
      .u32(colour)
      .u16(static_cast<uint16_t>(offset))
      .u16(static_cast<uint16_t>(range))
      .u16(static_cast<uint16_t>(third))
      .f32(threshold)
      .f32(smoothing);
}

// Writes the record and checks the golden bytes; reads the golden bytes back, checks that every byte was
// taken and that the reread record writes the same bytes again.
void ExpectRoundTrip(const ImageRecord& record, const std::vector<uint8_t>& golden,
                     ImageRecord* reread = nullptr) {
  EXPECT_EQ(Written(record), golden);
  bool consumedAll = false;
  ImageRecord read = ReadRecord(golden, &consumedAll);
  EXPECT_TRUE(consumedAll);
  EXPECT_EQ(Written(read), golden);
  if (reread) *reread = read;
}

}  // namespace

TEST(ImageRecordTest, BareRecordIsVersionOneAndEndsAfterTheDetails) {
  ImageRecord read;
  ExpectRoundTrip(BareRecord(), BareHead().Bytes().bytes, &read);
  EXPECT_EQ(read.id, Id);
  EXPECT_EQ(read.number, 12);
  EXPECT_EQ(read.fileName, "DSC_0012.JPG");
  EXPECT_TRUE(read.chromaKey.IsDefault());
  EXPECT_EQ(read.rotation, 0);
}

TEST(ImageRecordTest, CropStoresItsThreeNumbersOnly) {
  ImageRecord record = BareRecord();
  record.cropScale.posA = 0.25;
  record.cropScale.posB = -0.5;
  record.cropScale.scale = 1.75;
  record.cropScale.fixedRatio = true;
  record.cropScale.ratioWidth = 3;
  record.cropScale.ratioHeight = 4;
  RecordHead head = BareHead();
  head.posA = 0.25;
  head.posB = -0.5;
  head.scale = 1.75;
  ImageRecord read;
  ExpectRoundTrip(record, head.Bytes().bytes, &read);
  EXPECT_EQ(read.cropScale.posA, 0.25);
  EXPECT_EQ(read.cropScale.scale, 1.75);
  EXPECT_FALSE(read.cropScale.fixedRatio);
  EXPECT_EQ(read.cropScale.ratioWidth, 1);
  EXPECT_EQ(read.cropScale.ratioHeight, 1);
}

TEST(ImageRecordTest, ColourCorrectionUsesItsOwnBlockVersion) {
  struct Case {
    int r, g, b, i, c, s;
  } cases[] = {{20, -40, 0, 7, -13, 0}, {0, 0, 0, 0, 0, 30}, {-80, 100, 3, -1, 50, -25}};
  for (const Case& c : cases) {
    ImageRecord record = BareRecord();
    record.colorCorrect.red = c.r;
    record.colorCorrect.green = c.g;
    record.colorCorrect.blue = c.b;
    record.colorCorrect.intensity = c.i;
    record.colorCorrect.contrast = c.c;
    record.colorCorrect.saturation = c.s;
    RecordHead head = BareHead();
    head.colour = ColourBlock(c.r, c.g, c.b, c.i, c.c, c.s);
    ImageRecord read;
    ExpectRoundTrip(record, head.Bytes().bytes, &read);
    EXPECT_TRUE(read.colorCorrect == record.colorCorrect);
  }
}

TEST(ImageRecordTest, HueKeyIsStoredInAVersionTwoRecord) {
  ImageRecord record = BareRecord();
  record.chromaKey.on = 1;
  record.chromaKey.keyColour = ChromaKey::KeyColourGreen;
  record.chromaKey.hueOffset = -130;
  record.chromaKey.hueRange = 25;
  record.chromaKey.hueThird = 6;
  record.chromaKey.edgeThreshold = 0.125f;
  record.chromaKey.smoothing = 0.5f;
  RecordHead head = BareHead();
  head.version = 0x0200;
  GoldenBytes golden = head.Bytes().append(HueKeyBlock(1, 1, -130, 25, 6, 0.125f, 0.5f));
  ImageRecord read;
  ExpectRoundTrip(record, golden.bytes, &read);
  EXPECT_EQ(read.chromaKey.mode, 0);
  EXPECT_EQ(read.chromaKey.hueOffset, -130);
  EXPECT_EQ(read.chromaKey.smoothing, 0.5f);
}

TEST(ImageRecordTest, KeyerModeKeyStoresItsPathAndAreas) {
  ImageRecord record = BareRecord();
  record.chromaKey.mode = ChromaKey::ModeKeyerState;
  record.chromaKey.on = 1;
  record.chromaKey.keyerStatePath = "C:\\Keyer\\0A1B.pks";
  RecordHead head = BareHead();
  head.version = 0x0200;
  ImageRecord read;
  ExpectRoundTrip(
      record, head.Bytes().append(GoldenBytes().u16(0x0200).u8(1).text("C:\\Keyer\\0A1B.pks")).bytes, &read);
  EXPECT_EQ(read.chromaKey.mode, 1);
  EXPECT_EQ(read.chromaKey.keyerStatePath, "C:\\Keyer\\0A1B.pks");

  record.chromaKey.protectAreas = {{0, 100, 200, 300, 400}, {1, 5, 6, 7, 8}};
  record.chromaKey.garbageAreas = {{1, 0, 0, 1000, 50}};
  GoldenBytes withAreas = head.Bytes().append(GoldenBytes()
                                                  .u16(0x0300)
                                                  .u8(1)
                                                  .text("C:\\Keyer\\0A1B.pks")
                                                  .text(" 0 100 200 300 400 1 5 6 7 8")
                                                  .text(" 1 0 0 1000 50"));
  ExpectRoundTrip(record, withAreas.bytes, &read);
  EXPECT_TRUE(AreaListsEqual(read.chromaKey.protectAreas, record.chromaKey.protectAreas));
  EXPECT_TRUE(AreaListsEqual(read.chromaKey.garbageAreas, record.chromaKey.garbageAreas));
}

// Areas drawn before the first keyer state, and a keyer key switched on without a state yet, are kept.
TEST(ImageRecordTest, KeyerModeKeyWithoutStateKeepsItsAreasAndSwitch) {
  ImageRecord record = BareRecord();
  record.chromaKey.mode = ChromaKey::ModeKeyerState;
  record.chromaKey.protectAreas = {{0, 1, 2, 3, 4}};
  RecordHead head = BareHead();
  head.version = 0x0200;
  ImageRecord read;
  ExpectRoundTrip(
      record, head.Bytes().append(GoldenBytes().u16(0x0300).u8(0).text("").text(" 0 1 2 3 4").text("")).bytes,
      &read);
  EXPECT_EQ(read.chromaKey.protectAreas.size(), 1u);

  ImageRecord switchedOn = BareRecord();
  switchedOn.chromaKey.mode = ChromaKey::ModeKeyerState;
  switchedOn.chromaKey.on = 1;
  ExpectRoundTrip(switchedOn, head.Bytes().append(GoldenBytes().u16(0x0200).u8(1).text("")).bytes, &read);
  EXPECT_EQ(read.chromaKey.on, 1);

  // A keyer key that is off with no state and no areas is the default and is left out.
  ImageRecord idle = BareRecord();
  idle.chromaKey.mode = ChromaKey::ModeKeyerState;
  EXPECT_EQ(Written(idle), BareHead().Bytes().bytes);
}

TEST(ImageRecordTest, HueKeyWithAreasReadsBackAsKeyerModeWithDefaultHueFields) {
  ImageRecord record = BareRecord();
  record.chromaKey.keyColour = 2;
  record.chromaKey.hueRange = 30;
  record.chromaKey.garbageAreas = {{0, 9, 9, 99, 99}};
  RecordHead head = BareHead();
  head.version = 0x0200;
  ImageRecord read;
  ExpectRoundTrip(
      record,
      head.Bytes().append(GoldenBytes().u16(0x0300).u8(0).text("").text("").text(" 0 9 9 99 99")).bytes,
      &read);
  EXPECT_EQ(read.chromaKey.mode, 1);
  EXPECT_EQ(read.chromaKey.keyColour, 0);
  EXPECT_EQ(read.chromaKey.hueRange, 10);
}

TEST(ImageRecordTest, RotationMakesVersionThreeWithAChromaKeyBlockAlways) {
  ImageRecord record = BareRecord();
  record.rotation = 5;
  RecordHead head = BareHead();
  head.version = 0x0300;
  ImageRecord read;
  ExpectRoundTrip(record, head.Bytes().append(HueKeyBlock(0, 0, 0, 10, 3, 0.05f, 0.2f)).i32(5).bytes, &read);
  EXPECT_EQ(read.rotation, 5);

  record.rotation = -359;
  record.chromaKey.mode = 1;
  record.chromaKey.keyerStatePath = "k";
  ExpectRoundTrip(record, head.Bytes().append(GoldenBytes().u16(0x0200).u8(0).text("k")).i32(-359).bytes,
                  &read);
  EXPECT_EQ(read.rotation, -359);
}

TEST(ImageRecordTest, StatusBitsAndLinkedNamesAreStored) {
  ImageRecord record = BareRecord();
  record.flags = ImageStatus::Tagged | ImageStatus::Off | ImageStatus::MaskOn | ImageStatus::BackgroundOn |
                 ImageStatus::Inserted | ImageStatus::Linked | ImageStatus::Duplicate |
                 ImageStatus::EmptySlot;
  record.fileName = "D:\\Shoot\\Day 1\\IMG_4410.CR2.jpg";
  RecordHead head = BareHead();
  head.flags = 0x870F;
  head.fileName = "D:\\Shoot\\Day 1\\IMG_4410.CR2.jpg";
  ImageRecord read;
  ExpectRoundTrip(record, head.Bytes().bytes, &read);
  EXPECT_EQ(read.flags, 0x870Fu);
  EXPECT_EQ(read.GetFileNameKey(), "IMG_4410.CR2.jpg");
  EXPECT_EQ(read.GetBaseNameKey(), "IMG_4410.CR2");
  read.flags &= ~ImageStatus::Linked;
  EXPECT_EQ(read.GetFileNameKey(), "D:\\Shoot\\Day 1\\IMG_4410.CR2.jpg");
  EXPECT_EQ(read.GetBaseNameKey(), "D:\\Shoot\\Day 1\\IMG_4410.CR2.jpg");
}

TEST(ImageRecordTest, DetailValuesAndOwnDetailsAreStored) {
  ImageRecord record = BareRecord();
  record.values.Set("10", COleVariant(7L));
  record.values.Set("9", COleVariant(CString("AB")));
  record.details.fields.Add(DetailField("F2", "Age", DetailTypeInteger, 0));
  record.details.values.Set("F2", COleVariant(9L));

  RecordHead head = BareHead();
  head.values =
      GoldenBytes().u16(0x0100).u32(2).id("9").u16(VT_BSTR).u32(4).u16('A').u16('B').id("10").u16(VT_I4).i32(
          7);
  head.details = GoldenBytes()
                     .u16(0x0100)
                     .u16(0x0100)
                     .u32(1)
                     .u16(0x0100)
                     .id("F2")
                     .text("Age")
                     .u32(DetailTypeInteger)
                     .text("")
                     .text("")
                     .u32(0)
                     .u16(0x0100)
                     .u32(1)
                     .id("F2")
                     .u16(VT_I4)
                     .i32(9);
  ImageRecord read;
  ExpectRoundTrip(record, head.Bytes().bytes, &read);
  EXPECT_EQ(V_I4(&read.values.Get("10")), 7);
  EXPECT_EQ(read.details.fields.GetCount(), 1);
  EXPECT_EQ(V_I4(&read.details.values.Get("F2")), 9);
}

TEST(ImageRecordTest, ImportProcessingIsStoredWithItsNestedBlocks) {
  ImageProcessing processing;
  processing.quarterTurns = 3;
  processing.flipA = 1;
  processing.lut.name = "L1";
  processing.lut.description = "Curve";
  processing.lut.SetPersistedObject({0xAA, 0xBB, 0xCC});
  processing.sharpen.on = 1;
  processing.sharpen.kernel = 7;
  processing.sharpen.strength = 60;
  ImageRecord record = BareRecord();
  record.SetImportProcessing(processing);
  EXPECT_EQ(record.flags, ImageStatus::HasImportProcessing);

  GoldenBytes lut =
      GoldenBytes().u16(0x0100).text("L1").text("Curve").u8(42).u32(3).u8(0xAA).u8(0xBB).u8(0xCC);
  GoldenBytes sharpen = GoldenBytes().u8(42).u16(0x0100).u8(1).u16(7).u16(60);
  RecordHead head = BareHead();
  head.flags = 0x2000;
  GoldenBytes golden = head.Bytes()
                           .u32(3)
                           .u8(1)
                           .u8(0)
                           .u32(static_cast<uint32_t>(lut.bytes.size()))
                           .append(lut)
                           .u32(static_cast<uint32_t>(sharpen.bytes.size()))
                           .append(sharpen);
  ImageRecord read;
  ExpectRoundTrip(record, golden.bytes, &read);

  ImageProcessing back = read.GetImportProcessing();
  EXPECT_EQ(back.quarterTurns, 3);
  EXPECT_EQ(back.flipA, 1);
  EXPECT_EQ(back.flipB, 0);
  EXPECT_TRUE(back.lut == processing.lut);
  EXPECT_EQ(back.sharpen.kernel, 7);
  EXPECT_EQ(back.sharpen.strength, 60);

  // A copy of the record carries its own copy of the stored bytes.
  ImageRecord copy = read;
  read.SetImportProcessing(ImageProcessing());
  EXPECT_EQ(copy.GetImportProcessing().lut.name, "L1");
  EXPECT_EQ(read.GetImportProcessing().lut.name, "");
}

TEST(ImageRecordTest, ImportBlockIsWrittenOnlyWithItsStatusBit) {
  ImageProcessing processing;
  processing.flipB = 1;
  ImageRecord record = BareRecord();
  record.SetImportProcessing(processing);
  record.flags &= ~ImageStatus::HasImportProcessing;
  EXPECT_EQ(Written(record), BareHead().Bytes().bytes);
  ImageRecord read = ReadRecord(Written(record));
  EXPECT_EQ(read.importProcessing.lutBytes.GetSize(), 0u);
  EXPECT_EQ(read.importProcessing.sharpenBytes.GetSize(), 0u);
  EXPECT_FALSE(read.GetImportProcessing().IsActive());
}

TEST(ImageRecordTest, OlderMinorVersionsAreReadAndNewerOnesRefused) {
  struct Case {
    uint16_t version;
    bool accepted;
  } cases[] = {{0x0100, true},  {0x0105, true},  {0x01FF, true},  {0x0200, true},  {0x0300, true},
               {0x0201, false}, {0x0301, false}, {0x0400, false}, {0x0000, false}, {0xFF00, false}};
  for (const Case& c : cases) {
    RecordHead head = BareHead();
    head.version = c.version;
    GoldenBytes golden = head.Bytes();
    // What a record of that version carries after its details.
    if (c.version >= 0x0200) golden.append(HueKeyBlock(1, 2, 0, 10, 3, 0.05f, 0.2f));
    if (c.version >= 0x0300) golden.i32(-12);
    std::string message;
    bool consumedAll = false;
    ImageRecord read;
    int kind = ArchiveErrorKind([&] { read = ReadRecord(golden.bytes, &consumedAll); }, &message);
    if (c.accepted) {
      EXPECT_EQ(kind, -1) << std::hex << c.version;
      EXPECT_TRUE(consumedAll) << std::hex << c.version;
      EXPECT_EQ(read.chromaKey.keyColour, c.version >= 0x0200 ? 2 : 0);
      EXPECT_EQ(read.rotation, c.version >= 0x0300 ? -12 : 0);
    } else {
      EXPECT_EQ(kind, zvk::ArchiveException::BadSchema) << std::hex << c.version;
      EXPECT_EQ(message, BadSchemaAt("ImagesList.cpp", 387));
    }
  }
}

TEST(ImageRecordTest, NestedBlocksOfUnknownVersionsAreBadSchemaAtTheirPlaces) {
  struct Case {
    std::vector<uint8_t> bytes;
    std::string message;
  };
  std::vector<Case> cases;
  {
    RecordHead head = BareHead();
    std::vector<uint8_t> bytes = head.Bytes().bytes;
    // The crop schema follows the version, the id block, the reserved word, the number and the name.
    size_t crop = 2 + 2 + 1 + strlen(Id) + 4 + 4 + 1 + strlen("DSC_0012.JPG");
    bytes[crop + 1] = 0x02;
    cases.push_back({bytes, BadSchemaAt("CropScale.h", 149)});
    std::vector<uint8_t> badId = head.Bytes().bytes;
    badId[3] = 0x02;
    cases.push_back({badId, BadSchemaAt("ObjectID.h", 74)});
  }
  {
    RecordHead head = BareHead();
    head.version = 0x0200;
    cases.push_back({head.Bytes().u16(0x0400).u8(0).bytes, BadSchemaAt("ChromaKey.h", 293)});
    head.colour = GoldenBytes().u16(0x0300).f32(1).f32(1).f32(1).f32(1).f32(0);
    cases.push_back({head.Bytes().bytes, BadSchemaAt("General.cpp", 348)});
  }
  for (const Case& c : cases) {
    std::string message;
    EXPECT_EQ(ArchiveErrorKind([&] { ReadRecord(c.bytes); }, &message), zvk::ArchiveException::BadSchema);
    EXPECT_EQ(message, c.message);
  }
}

// Every cut of a full record, and an import block whose counts promise more than the data holds, ends
// in EndOfFile: nothing is allocated from a count that the data cannot back.
TEST(ImageRecordTest, TruncatedRecordsAndOverlongCountsAreEndOfFile) {
  ImageRecord record = BareRecord();
  record.rotation = 90;
  record.colorCorrect.saturation = 4;
  record.chromaKey.mode = 1;
  record.chromaKey.keyerStatePath = "state";
  record.chromaKey.protectAreas = {{1, 2, 3, 4, 5}};
  record.values.Set("F", COleVariant(CString("text")));
  ImageProcessing processing;
  processing.lut.SetPersistedObject(std::vector<uint8_t>(40, 1));
  record.SetImportProcessing(processing);
  std::vector<uint8_t> full = Written(record);
  for (size_t cut = 0; cut < full.size(); ++cut) {
    std::vector<uint8_t> part(full.begin(), full.begin() + cut);
    EXPECT_EQ(ArchiveErrorKind([&] { ReadRecord(part); }), zvk::ArchiveException::EndOfFile) << cut;
  }

  RecordHead head = BareHead();
  head.flags = 0x2000;
  for (uint32_t count : {5u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    std::vector<uint8_t> bytes = head.Bytes().u32(0).u8(0).u8(0).u32(count).u8(1).u8(2).u32(0).bytes;
    EXPECT_EQ(ArchiveErrorKind([&] { ReadRecord(bytes); }), zvk::ArchiveException::EndOfFile) << count;
  }
}
