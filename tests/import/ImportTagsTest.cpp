// Identifier texts read from tagged files (written by exiftool beside the tests) reach the new
// images' detail values after a run; damaged files give no tag and no crash.
#include "ImportTestSupport.h"

#include "DetailField.h"
#include "ImagesFromDiskDlg.h"
#include "ImagesFromDiskThread.h"
#include "ImagesImportSettings.h"
#include "resource.h"

#include <fstream>
#include <iterator>
#include <random>

using namespace importtest;

namespace {

// The folder of the tagged pictures as a Windows path, with its trailing backslash.
std::string TaggedFolder() {
  char folder[MAX_PATH] = {};
  if (::GetEnvironmentVariableA("PELLORIN_TAGGED", folder, sizeof(folder)) == 0) return {};
  std::string path = folder;
  for (char& c : path)
    if (c == '/') c = '\\';
  if (!path.empty() && path[0] == '\\') path = "Z:" + path;
  return path + "\\";
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The run's result is shown once the texts are written.
bool RunEnded(CImagesFromDiskDlg& dialog) {
  char result[256] = {};
  ::GetDlgItemTextA(dialog.m_hWnd, IDC_IMPORT_RESULT, result, sizeof(result));
  return !dialog.IsRunning() && result[0] != '\0';
}

class ImportTagsTest : public ImportTest {
 protected:
  void SetUp() override {
    ImportTest::SetUp();
    tagged = TaggedFolder();
    if (tagged.empty()) GTEST_SKIP() << "PELLORIN_TAGGED is not set";
    DetailsFields& fields = document.GetImageFields();
    fields.Add(DetailField(CObjectID::CreateNew(), "ID", DetailTypeText, DetailRoleUnique));
    fields.Add(DetailField(CObjectID::CreateNew(), "Class", DetailTypeText, DetailRoleNone));
    fields.Add(DetailField(CObjectID::CreateNew(), "Name", DetailTypeText, DetailRoleNone));
  }
  std::string Value(int image, int field) {
    const ImageRecord& record = document.GetImages().GetAt(static_cast<unsigned>(image));
    const VARIANT& value = record.values.Get(document.GetImageFields().GetAt(field).id);
    if (value.vt != VT_BSTR) return "<none>";
    return static_cast<const char*>(_bstr_t(value.bstrVal));
  }
  void Run(const std::vector<const char*>& names) {
    CImagesFromDiskDlg dialog(document, &MainWindow());
    std::vector<ImportCandidate> files;
    for (const char* name : names) files.push_back({name, "", 0});
    dialog.AddFiles(files, tagged.c_str());
    ::SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_START, BN_CLICKED), 0);
    ASSERT_TRUE(PumpUntil([&] { return RunEnded(dialog); }));
    ASSERT_EQ(static_cast<int>(names.size()), dialog.GetPlacedCount());
  }
  std::string tagged;
};

TEST_F(ImportTagsTest, CommentsInBothByteOrdersAndTheDescriptionFillTheDetailFields) {
  Run({"intel.jpg", "motorola.jpg", "described.tif", "plain.jpg"});
  struct Expected {
    const char* id;
    const char* cls;
    const char* name;
  };
  const Expected expected[] = {{"A123", "4B", "<none>"},
                               {"A123", "4B", "<none>"},
                               {"A123 ", "<none>", "Ann"},
                               {"", "<none>", "<none>"}};
  for (int image = 0; image < 4; ++image) {
    EXPECT_EQ(expected[image].id, Value(image, 0)) << image;
    EXPECT_EQ(expected[image].cls, Value(image, 1)) << image;
    EXPECT_EQ(expected[image].name, Value(image, 2)) << image;
  }
}

TEST_F(ImportTagsTest, AnImageThatReplacesAnotherGetsTheTextsToo) {
  document.SetIndexed(true);
  ASSERT_TRUE(document.ImportImage(3, MakeMarkedBitmap(8, 6, 0, -1, -1, 0), "old", false, nullptr));
  CImagesFromDiskDlg dialog(document, &MainWindow());
  dialog.AddFiles({{"intel.jpg", "", 3}}, tagged.c_str());
  ::SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_START, BN_CLICKED), 0);
  ASSERT_TRUE(PumpUntil([&] { return RunEnded(dialog); }));
  ASSERT_EQ(1, document.GetImages().GetCount());
  EXPECT_EQ("A123", Value(0, 0));
  EXPECT_EQ("4B", Value(0, 1));
}

TEST_F(ImportTagsTest, WithoutExifNothingIsWritten) {
  GetImagesImportSettings().UseExif = false;
  Run({"intel.jpg", "described.tif"});
  for (int image = 0; image < 2; ++image) {
    EXPECT_EQ("", Value(image, 0));
    EXPECT_EQ("<none>", Value(image, 1));
    EXPECT_EQ("<none>", Value(image, 2));
  }
}

TEST_F(ImportTagsTest, TruncatedAndFlippedTaggedFilesGiveNoTagOrNoImageButNeverCrash) {
  const std::vector<unsigned char> jpeg = ReadBytes(tagged + "motorola.jpg");
  const std::vector<unsigned char> tiff = ReadBytes(tagged + "described.tif");
  ASSERT_FALSE(jpeg.empty());
  ASSERT_FALSE(tiff.empty());
  std::mt19937 random(20261211);
  const std::string path = folder.File("damaged.bin");
  int loaded = 0;
  for (int round = 0; round < 300; ++round) {
    std::vector<unsigned char> bytes = round % 2 == 0 ? jpeg : tiff;
    if (round % 3 == 0) {
      bytes.resize(random() % bytes.size());
    } else {
      const int flips = 1 + static_cast<int>(random() % 8);
      for (int i = 0; i < flips; ++i)
        bytes[random() % bytes.size()] ^= static_cast<unsigned char>(1 + random() % 255);
    }
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ImportTagTexts texts;
    IBitmapPtr bitmap = CImagesFromDiskThread::LoadImageFile(path.c_str(), texts);
    if (bitmap) ++loaded;
    EXPECT_LE(texts.identifier.GetLength(), 1 << 20);
  }
  EXPECT_GT(loaded, 0);
}

}  // namespace
