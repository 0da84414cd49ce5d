// The background, mask and graphic libraries, their profile settings and the sharpening profile keys.
#include "ImageRecordBytes.h"

#include "Backgrounds.h"
#include "Graphics.h"
#include "LibrarySettings.h"
#include "Masks.h"
#include "MyException.h"
#include "SharpenValues.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

using imagetest::BadSchemaAt;
using imagetest::GoldenBytes;
using modeltest::ArchiveBytes;
using modeltest::ArchiveErrorKind;
using modeltest::ReaderOver;

namespace {

LibraryEntry Entry(const char* name, const char* second = "", int32_t flag = 0) {
  LibraryEntry entry;
  entry.name = name;
  entry.secondText = second;
  entry.flag = flag;
  return entry;
}

std::vector<uint8_t> Written(const LibraryCollection& library) {
  zvk::ArchiveMemory archive;
  library.Write(archive);
  return ArchiveBytes(archive);
}

void Read(LibraryCollection& library, const std::vector<uint8_t>& bytes) {
  zvk::ArchiveMemory archive = ReaderOver(bytes);
  library.Read(archive);
}

std::string MissingKeyMessage(const std::function<void()>& call) {
  try {
    call();
  } catch (const CMyException& e) {
    EXPECT_EQ(e.code, E_INVALIDARG);
    return e.what();
  }
  return "no exception";
}

}  // namespace

TEST(LibrariesTest, EntryAndListLayouts) {
  zvk::ArchiveMemory archive;
  WriteLibraryEntry(archive, Entry("a.jpg"));
  EXPECT_EQ(ArchiveBytes(archive), (std::vector<uint8_t>{0x00, 0x01, 0x05, 0x61, 0x2E, 0x6A, 0x70, 0x67, 0x00,
                                                         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
  Backgrounds backgrounds;
  EXPECT_EQ(Written(backgrounds), (std::vector<uint8_t>{0x00, 0x01, 0, 0, 0, 0}));

  backgrounds.Set("10", Entry("ten.png", "carried", 3));
  backgrounds.Set("9", Entry("nine.png"));
  std::vector<uint8_t> golden = GoldenBytes()
                                    .u16(0x0100)
                                    .u32(2)
                                    .id("9")
                                    .u16(0x0100)
                                    .text("nine.png")
                                    .text("")
                                    .u32(0)
                                    .u32(0)
                                    .id("10")
                                    .u16(0x0100)
                                    .text("ten.png")
                                    .text("carried")
                                    .u32(3)
                                    .u32(0)
                                    .bytes;
  EXPECT_EQ(Written(backgrounds), golden);
  Masks masks;
  Read(masks, golden);
  EXPECT_EQ(Written(masks), golden);
  EXPECT_TRUE(masks.GetEntries().at("10") == Entry("ten.png", "carried", 3));
}

TEST(LibrariesTest, ReadingNormalisesTheReservedWordAndKeepsTheLaterOfARepeatedKey) {
  std::vector<uint8_t> stored = GoldenBytes()
                                    .u16(0x0101)
                                    .u32(2)
                                    .id("K")
                                    .u16(0x0105)
                                    .text("first")
                                    .text("")
                                    .u32(0)
                                    .u32(0xDEADBEEF)
                                    .id("K")
                                    .u16(0x0100)
                                    .text("second")
                                    .text("x")
                                    .u32(1)
                                    .u32(0)
                                    .bytes;
  Graphics graphics;
  Read(graphics, stored);
  EXPECT_EQ(graphics.GetCount(), 1);
  EXPECT_EQ(graphics.Get("K").name, "second");
  EXPECT_EQ(
      Written(graphics),
      GoldenBytes().u16(0x0100).u32(1).id("K").u16(0x0100).text("second").text("x").u32(1).u32(0).bytes);

  std::vector<uint8_t> single =
      GoldenBytes().u16(0x0100).u32(1).id("A").u16(0x0100).text("a").text("").u32(0).u32(0xDEADBEEF).bytes;
  Read(graphics, single);
  EXPECT_EQ(Written(graphics),
            GoldenBytes().u16(0x0100).u32(1).id("A").u16(0x0100).text("a").text("").u32(0).u32(0).bytes);
}

TEST(LibrariesTest, ErrorsNameTheirLibrary) {
  Backgrounds backgrounds;
  Masks masks;
  Graphics graphics;
  for (LibraryCollection* library :
       std::initializer_list<LibraryCollection*>{&backgrounds, &masks, &graphics})
    library->Set("KEEP", Entry("keep.png"));

  EXPECT_NE(MissingKeyMessage([&] { backgrounds.Remove("X"); }).find("Backgrounds.cpp(104)"),
            std::string::npos);
  EXPECT_NE(MissingKeyMessage([&] { masks.Remove("X"); }).find("Masks.cpp(104)"), std::string::npos);
  EXPECT_NE(MissingKeyMessage([&] { graphics.Remove("X"); }).find("Graphics.cpp(179)"), std::string::npos);
  EXPECT_NE(MissingKeyMessage([&] { graphics.Get("X"); }).find("Graphics.cpp(171)"), std::string::npos);
  EXPECT_FALSE(backgrounds.Contains("X"));

  struct Case {
    LibraryCollection* library;
    const char* file;
    int listLine;
    int entryLine;
    void (*readEntry)(zvk::Archive&, LibraryEntry&);
  } cases[] = {
      {&backgrounds, "Backgrounds.cpp", 161, 133, ReadBackgroundEntry},
      {&masks, "Masks.cpp", 161, 133, ReadMaskEntry},
      {&graphics, "Graphics.cpp", 236, 208, ReadGraphicEntry},
  };
  for (const Case& c : cases) {
    std::string message;
    EXPECT_EQ(ArchiveErrorKind([&] { Read(*c.library, GoldenBytes().u16(0x0200).u32(0).bytes); }, &message),
              zvk::ArchiveException::BadSchema);
    EXPECT_EQ(message, BadSchemaAt(c.file, c.listLine));
    EXPECT_TRUE(c.library->Contains("KEEP")) << c.file;

    std::vector<uint8_t> badEntry = GoldenBytes().u16(0x0100).u32(1).id("N").u16(0x0200).text("n").bytes;
    EXPECT_EQ(ArchiveErrorKind([&] { Read(*c.library, badEntry); }, &message),
              zvk::ArchiveException::BadSchema);
    EXPECT_EQ(message, BadSchemaAt(c.file, c.entryLine));

    std::vector<uint8_t> entryBytes = GoldenBytes().u16(0x0200).text("n").text("").u32(0).u32(0).bytes;
    zvk::ArchiveMemory reader = ReaderOver(entryBytes);
    LibraryEntry entry;
    EXPECT_EQ(ArchiveErrorKind([&] { c.readEntry(reader, entry); }, &message),
              zvk::ArchiveException::BadSchema);
    EXPECT_EQ(message, BadSchemaAt(c.file, c.entryLine));

    // A short list keeps what it read before the end.
    std::vector<uint8_t> shortList =
        GoldenBytes().u16(0x0100).u32(5).id("A").u16(0x0100).text("a").text("").u32(0).u32(0).id("B").bytes;
    EXPECT_EQ(ArchiveErrorKind([&] { Read(*c.library, shortList); }), zvk::ArchiveException::EndOfFile);
    EXPECT_EQ(c.library->GetCount(), 1);
    EXPECT_TRUE(c.library->Contains("A"));
  }
}

namespace {

// Settings go below a registry key of this run, removed afterwards.
class LibrarySettingsTest : public ::testing::Test {
 protected:
  static CWinApp& App() {
    static CWinApp app("Pellorin");
    return app;
  }

  void SetUp() override {
    root = "Software\\PellorinTests\\model2-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount64());
    CProfile::OverrideRoot(root.c_str());
    App().SetRegistryKey("Corvanith");
  }
  void TearDown() override {
    SHDeleteKeyA(HKEY_CURRENT_USER, root.c_str());
    CProfile::OverrideRoot(nullptr);
  }

  std::string root;
};

}  // namespace

TEST_F(LibrarySettingsTest, MissingSectionsGiveTheDefaultsAndSavedValuesLoadAgain) {
  GetBackgroundsSettings().path = "stale";
  GetBackgroundsSettings().reference = false;
  LoadBackgroundsSettings();
  LoadMasksSettings();
  LoadGraphicsSettings();
  for (LibrarySettings* s : {&GetBackgroundsSettings(), &GetMasksSettings(), &GetGraphicsSettings()}) {
    EXPECT_EQ(s->path, "");
    EXPECT_TRUE(s->reference);
    EXPECT_TRUE(s->keepPath);
    EXPECT_EQ(s->fromField, "");
  }

  GetMasksSettings().path = "C:\\Masks";
  GetMasksSettings().keepPath = false;
  GetMasksSettings().fromField = "Mask file";
  SaveMasksSettings();
  GetGraphicsSettings().fromField = "not stored";
  GetGraphicsSettings().reference = false;
  SaveGraphicsSettings();

  GetMasksSettings() = LibrarySettings();
  GetGraphicsSettings() = LibrarySettings();
  LoadMasksSettings();
  LoadGraphicsSettings();
  EXPECT_EQ(GetMasksSettings().path, "C:\\Masks");
  EXPECT_FALSE(GetMasksSettings().keepPath);
  EXPECT_TRUE(GetMasksSettings().reference);
  EXPECT_EQ(GetMasksSettings().fromField, "Mask file");
  EXPECT_FALSE(GetGraphicsSettings().reference);
  EXPECT_EQ(App().GetProfileString("Graphics", "FromField", "none"), "none");
  EXPECT_EQ(static_cast<int>(App().GetProfileInt("Masks", "KeepPath", 7)), 0);

  // A stored integer other than 0 and 1 is true and is written back as 1.
  App().WriteProfileInt("Backgrounds", "Reference", 5);
  LoadBackgroundsSettings();
  EXPECT_TRUE(GetBackgroundsSettings().reference);
  SaveBackgroundsSettings();
  EXPECT_EQ(static_cast<int>(App().GetProfileInt("Backgrounds", "Reference", 7)), 1);
}

TEST_F(LibrarySettingsTest, SharpenProfileKeysAreCheckedOnLoad) {
  SharpenValues values;
  values.Load("Sharpen\\Export");
  EXPECT_EQ(values.on, 0);
  EXPECT_EQ(values.kernel, 3);
  EXPECT_EQ(values.strength, 50);

  App().WriteProfileInt("Sharpen\\Export", "On", 2);
  App().WriteProfileInt("Sharpen\\Export", "Kernel", 4);
  App().WriteProfileInt("Sharpen\\Export", "Strength", 80);
  values.Load("Sharpen\\Export");
  EXPECT_EQ(values.on, 1);
  EXPECT_EQ(values.kernel, 3);
  EXPECT_EQ(values.strength, 80);

  values.kernel = 7;
  values.Save("Sharpen\\Export");
  SharpenValues again;
  again.Load("Sharpen\\Export");
  EXPECT_EQ(again.kernel, 7);
  EXPECT_EQ(again.on, 1);
}
