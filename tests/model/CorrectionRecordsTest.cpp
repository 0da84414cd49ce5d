// The per-image correction blocks: colour correction, chroma key and sharpening.
#include "ImageRecordBytes.h"

#include "ChromaKey.h"
#include "ColorCorrectValues.h"
#include "SharpenValues.h"

#include <gtest/gtest.h>

using imagetest::BadSchemaAt;
using imagetest::ColourBlock;
using imagetest::GoldenBytes;
using modeltest::ArchiveBytes;
using modeltest::ArchiveErrorKind;
using modeltest::ReaderOver;

namespace {

std::vector<uint8_t> WrittenColour(const ColorCorrectValues& values) {
  zvk::ArchiveMemory archive;
  WriteColorCorrectValues(archive, values);
  return ArchiveBytes(archive);
}

ColorCorrectValues ReadColour(const std::vector<uint8_t>& bytes, ColorCorrectValues start = {}) {
  zvk::ArchiveMemory archive = ReaderOver(bytes);
  ReadColorCorrectValues(archive, start);
  return start;
}

ColorCorrectValues Values(int r, int g, int b, int i, int c, int s) {
  ColorCorrectValues v;
  v.red = r;
  v.green = g;
  v.blue = b;
  v.intensity = i;
  v.contrast = c;
  v.saturation = s;
  return v;
}

}  // namespace

TEST(ColorCorrectValuesTest, BlocksMatchTheLayoutAndReadBackToTheSliderValues) {
  struct Case {
    ColorCorrectValues values;
  } cases[] = {
      {Values(0, 0, 0, 0, 0, 0)},  {Values(20, 0, 0, 0, 0, 0)},  {Values(-40, 7, -3, 13, 0, 0)},
      {Values(0, 0, 0, 0, 50, 0)}, {Values(0, 0, 0, 0, -50, 0)}, {Values(1, -1, 99, -80, 33, -17)},
      {Values(5, 5, 5, 5, 5, 60)}, {Values(-7, 0, 0, 0, 0, 1)},  {Values(100, -100, 37, -63, 77, -77)},
  };
  for (const Case& c : cases) {
    const ColorCorrectValues& v = c.values;
    std::vector<uint8_t> expected =
        ColourBlock(v.red, v.green, v.blue, v.intensity, v.contrast, v.saturation).bytes;
    EXPECT_EQ(WrittenColour(v), expected);
    EXPECT_TRUE(ReadColour(expected) == v) << v.red << " " << v.green << " " << v.saturation;
  }
}

TEST(ColorCorrectValuesTest, RedMinusFortyStoresHalfGainAndAVersionOneBlockHasNoSaturation) {
  std::vector<uint8_t> bytes = WrittenColour(Values(-40, 0, 0, 0, 0, 0));
  ASSERT_EQ(bytes.size(), 2u + 5 * 4);
  EXPECT_EQ(bytes[0], 0x00);
  EXPECT_EQ(bytes[1], 0x01);
  float red;
  memcpy(&red, &bytes[2], 4);
  EXPECT_EQ(red, 0.5f);
  // A version-1 block starts from the defaults: no saturation left over from the target.
  EXPECT_EQ(ReadColour(bytes, Values(0, 0, 0, 0, 0, 25)).saturation, 0);
  EXPECT_FLOAT_EQ(Values(0, 0, 0, 0, 0, 10).GetSaturationFactor(), 0.2f);
}

TEST(ColorCorrectValuesTest, UnknownVersionAndShortDataFailWithoutChangingTheTarget) {
  std::vector<uint8_t> bytes = ColourBlock(3, 0, 0, 0, 0, 9).bytes;
  std::vector<uint8_t> newer = bytes;
  newer[1] = 0x03;
  std::string message;
  ColorCorrectValues target = Values(1, 2, 3, 4, 5, 6);
  EXPECT_EQ(ArchiveErrorKind([&] { target = ReadColour(newer, target); }, &message),
            zvk::ArchiveException::BadSchema);
  EXPECT_EQ(message, BadSchemaAt("General.cpp", 348));
  std::vector<uint8_t> shortBytes(bytes.begin(), bytes.end() - 1);
  EXPECT_EQ(ArchiveErrorKind([&] { target = ReadColour(shortBytes, target); }),
            zvk::ArchiveException::EndOfFile);
  EXPECT_TRUE(target == Values(1, 2, 3, 4, 5, 6));
  // The minor byte is ignored.
  bytes[0] = 0x07;
  EXPECT_EQ(ReadColour(bytes).saturation, 9);
}

TEST(ChromaKeyTest, AreaTextsParseAndFormat) {
  struct Case {
    const char* text;
    ChromaKeyAreaList expected;
  } cases[] = {
      {"0 1 2 3 4 1 5 6 7 8", {{0, 1, 2, 3, 4}, {1, 5, 6, 7, 8}}},
      {"0 1 2 3 4 7 5 6 7 8 1 1 1 1 1", {{0, 1, 2, 3, 4}}},
      {"1 2 3", {}},
      {"", {}},
      {" 1 -5 6 7 8\t0 0 0 1000 1000 ", {{1, -5, 6, 7, 8}, {0, 0, 0, 1000, 1000}}},
      {"0 1 2 3 4 0 1 x 3 4", {{0, 1, 2, 3, 4}}},
      {"0 1 2 3 99999999999", {}},
  };
  for (const Case& c : cases) EXPECT_TRUE(AreaListsEqual(ParseChromaKeyAreas(c.text), c.expected)) << c.text;

  CString text;
  FormatAreaList({{0, 1, 2, 3, 4}, {1, 5, 6, 7, 8}}, text);
  EXPECT_EQ(text, " 0 1 2 3 4 1 5 6 7 8");
  FormatAreaList({{0, 10, 20, 30, 40}, {1, 5, 6, 7, 8}}, text);
  EXPECT_EQ(text, " 0 10 20 30 40 1 5 6 7 8");
  FormatAreaList({}, text);
  EXPECT_EQ(text, "");
  EXPECT_FALSE(AreaListsEqual({{0, 1, 2, 3, 4}}, {{0, 1, 2, 3, 5}}));
  EXPECT_FALSE(AreaListsEqual({{0, 1, 2, 3, 4}}, {}));
}

TEST(ChromaKeyTest, DefaultTestKeepsKeyerKeysWithPathsOrAreasOrSwitchedOn) {
  ChromaKey key;
  EXPECT_TRUE(key.IsDefault());

  struct Case {
    const char* what;
    void (*change)(ChromaKey&);
    bool isDefault;
  } cases[] = {
      {"keyer mode, nothing set", [](ChromaKey& k) { k.mode = 1; }, true},
      {"keyer mode, hue fields changed",
       [](ChromaKey& k) {
         k.mode = 1;
         k.hueRange = 40;
         k.keyColour = 2;
       },
       true},
      {"keyer mode with a path",
       [](ChromaKey& k) {
         k.mode = 1;
         k.keyerStatePath = "s.key";
       },
       false},
      {"keyer mode switched on",
       [](ChromaKey& k) {
         k.mode = 1;
         k.on = 1;
       },
       false},
      {"keyer mode with a protect area",
       [](ChromaKey& k) {
         k.mode = 1;
         k.protectAreas = {{0, 1, 2, 3, 4}};
       },
       false},
      {"keyer mode with a garbage area",
       [](ChromaKey& k) {
         k.mode = 1;
         k.garbageAreas = {{1, 1, 2, 3, 4}};
       },
       false},
      {"hue key switched on", [](ChromaKey& k) { k.on = 1; }, false},
      {"hue key colour", [](ChromaKey& k) { k.keyColour = 1; }, false},
      {"hue offset", [](ChromaKey& k) { k.hueOffset = -1; }, false},
      {"hue third", [](ChromaKey& k) { k.hueThird = 4; }, false},
      {"edge threshold", [](ChromaKey& k) { k.edgeThreshold = 0.06f; }, false},
      {"smoothing", [](ChromaKey& k) { k.smoothing = 0.25f; }, false},
      {"hue key with areas",
       [](ChromaKey& k) {
         k.protectAreas = {{0, 1, 2, 3, 4}};
       },
       false},
      {"other mode", [](ChromaKey& k) { k.mode = 2; }, false},
  };
  for (const Case& c : cases) {
    ChromaKey k;
    c.change(k);
    EXPECT_EQ(k.IsDefault(), c.isDefault) << c.what;
  }
}

TEST(ChromaKeyTest, UnknownBlockVersionIsBadSchema) {
  std::vector<uint8_t> bytes = GoldenBytes().u16(0x0400).u8(1).text("x").bytes;
  ChromaKey key;
  zvk::ArchiveMemory archive = ReaderOver(bytes);
  std::string message;
  EXPECT_EQ(ArchiveErrorKind([&] { key.ReadBlock(archive); }, &message), zvk::ArchiveException::BadSchema);
  EXPECT_EQ(message, BadSchemaAt("ChromaKey.h", 293));
}

TEST(SharpenValuesTest, BlockRoundTripsAndRejectsBadMarkerOrSchema) {
  SharpenValues values;
  values.on = 1;
  values.kernel = 5;
  values.strength = 250;
  zvk::ArchiveMemory archive;
  WriteSharpenValues(archive, values);
  std::vector<uint8_t> expected = GoldenBytes().u8(42).u16(0x0100).u8(1).u16(5).u16(250).bytes;
  ASSERT_EQ(ArchiveBytes(archive), expected);

  SharpenValues read;
  zvk::ArchiveMemory reader = ReaderOver(expected);
  ReadSharpenValues(reader, read);
  EXPECT_EQ(read.on, 1);
  EXPECT_EQ(read.kernel, 5);
  EXPECT_EQ(read.strength, 250);

  struct Bad {
    std::vector<uint8_t> bytes;
    int kind;
    int line;
  } bad[] = {
      {GoldenBytes().u8(41).u16(0x0100).u8(1).u16(5).u16(250).bytes, zvk::ArchiveException::BadSchema, 56},
      {GoldenBytes().u8(42).u16(0x0200).u8(1).u16(5).u16(250).bytes, zvk::ArchiveException::BadSchema, 59},
      {GoldenBytes().u8(42).u16(0x0100).u8(1).u16(5).bytes, zvk::ArchiveException::EndOfFile, 0},
  };
  for (const Bad& b : bad) {
    SharpenValues target;
    zvk::ArchiveMemory badReader = ReaderOver(b.bytes);
    std::string message;
    EXPECT_EQ(ArchiveErrorKind([&] { ReadSharpenValues(badReader, target); }, &message), b.kind);
    if (b.line) {
      EXPECT_EQ(message, BadSchemaAt("SharpenValues.cpp", b.line));
    }
    EXPECT_EQ(target.kernel, 3);
    EXPECT_EQ(target.strength, 100);
  }
  // A stored kernel is taken as stored (the profile loader is the one that checks it).
  std::vector<uint8_t> odd = GoldenBytes().u8(42).u16(0x0100).u8(0).u16(4).u16(1).bytes;
  zvk::ArchiveMemory oddReader = ReaderOver(odd);
  ReadSharpenValues(oddReader, read);
  EXPECT_EQ(read.kernel, 4);
}
