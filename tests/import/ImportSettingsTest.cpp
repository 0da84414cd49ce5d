// The settings of the import sources and the import values: what the profile holds after a save,
// what a load makes of stored values, and the set-up dialogs that edit the processing.
#include "ImportTestSupport.h"

#include "DialogDriver.h"
#include "WindowShot.h"

#include "ImageFromDiskSettings.h"
#include "ImagesFromHotSettings.h"
#include "ImagesImportSettings.h"
#include "ImportSetupDlg.h"
#include "MenuListCtl.h"
#include "resource.h"

using namespace importtest;
using testsupport::DialogDriver;
using testsupport::SaveWindowShot;

namespace {

class ImportSettingsTest : public ImportTest {
 protected:
  int Int(const char* section, const char* key, int missing = -999) {
    return static_cast<int>(App().GetProfileInt(section, key, missing));
  }
  CString Text(const char* section, const char* key) {
    return App().GetProfileString(section, key, "<none>");
  }
};

TEST_F(ImportSettingsTest, TheThreeSectionsRoundTripThroughTheProfile) {
  ImageFromDiskSettings disk;
  disk.path = "C:\\shots\\";
  disk.prefix = "IMG_";
  disk.numberWidth = 4;
  disk.suffix = "_a";
  disk.extension = "jpg";
  disk.rotation = 3;
  disk.flipVertical = true;
  disk.lutName = "warm";
  disk.sharpen.on = 1;
  disk.sharpen.kernel = 5;
  disk.sharpen.strength = 70;
  disk.reference = false;
  disk.keepPath = false;
  disk.order = 1;
  disk.firstNumber = 5;  // not kept
  disk.Save();
  ImagesFromHotSettings hot;
  hot.onClipboard = true;
  hot.rotation = 2;
  hot.flipHorizontal = true;
  hot.Save();
  ImagesImportSettings import;
  import.Reverse = true;
  import.UseExif = false;
  import.Mode = 2;  // not kept
  import.Save();

  struct Stored {
    const char* section;
    const char* key;
    int value;
  };
  const Stored stored[] = {
      {"Image From Disk", "FilenameWidth", 4}, {"Image From Disk", "Rotate", 3},
      {"Image From Disk", "FlipVertical", 1},  {"Image From Disk", "FlipHorizontal", 0},
      {"Image From Disk", "Reference", 0},     {"Image From Disk", "KeepPath", 0},
      {"Image From Disk", "Order", 1},         {"Sharpen\\ImportFromDisk", "Kernel", 5},
      {"Images From Hot", "OnClipboard", 1},   {"Images From Hot", "OnBrisant", 0},
      {"Images From Hot", "Rotate", 2},        {"Images From Hot", "FlipHorizontal", 1},
      {"Images Import", "Reverse", 1},         {"Images Import", "FollowImages", 0},
      {"Images Import", "UseExif", 0},
  };
  for (const Stored& s : stored) EXPECT_EQ(s.value, Int(s.section, s.key)) << s.section << " " << s.key;
  EXPECT_EQ(CString("IMG_"), Text("Image From Disk", "FilenamePre"));
  EXPECT_EQ(CString("warm"), Text("Image From Disk", "LUT"));
  EXPECT_EQ(-999, Int("Image From Disk", "FirstNumber"));

  ImageFromDiskSettings diskRead;
  diskRead.Load();
  EXPECT_EQ(CString("C:\\shots\\"), diskRead.path);
  EXPECT_EQ(CString("_a"), diskRead.suffix);
  EXPECT_EQ(CString("jpg"), diskRead.extension);
  EXPECT_EQ(3, diskRead.rotation);
  EXPECT_TRUE(diskRead.flipVertical);
  EXPECT_FALSE(diskRead.flipHorizontal);
  EXPECT_EQ(CString("warm"), diskRead.lutName);
  EXPECT_EQ(1, diskRead.sharpen.on);
  EXPECT_EQ(70, diskRead.sharpen.strength);
  EXPECT_FALSE(diskRead.reference);
  EXPECT_FALSE(diskRead.keepPath);
  EXPECT_EQ(1, diskRead.order);
  EXPECT_EQ(0, diskRead.firstNumber);
  ImagesFromHotSettings hotRead;
  hotRead.Load();
  EXPECT_TRUE(hotRead.onClipboard);
  EXPECT_FALSE(hotRead.onBrisant);
  EXPECT_EQ(2, hotRead.rotation);
  EXPECT_TRUE(hotRead.flipHorizontal);
  ImagesImportSettings importRead;
  importRead.Mode = 1;
  importRead.Load();
  EXPECT_TRUE(importRead.Reverse);
  EXPECT_FALSE(importRead.FollowImages);
  EXPECT_FALSE(importRead.UseExif);
  EXPECT_EQ(1, importRead.Mode);  // run-time values are left alone
  EXPECT_TRUE(importRead.ImportActive);
}

TEST_F(ImportSettingsTest, AnEmptyProfileGivesTheDefaultsAndStoredValuesAreCheckedOnlyWhereTheyMustBe) {
  ImageFromDiskSettings disk;
  disk.Load();
  EXPECT_EQ(1, disk.numberWidth);
  EXPECT_TRUE(disk.reference);
  EXPECT_TRUE(disk.keepPath);
  EXPECT_EQ(0, disk.order);
  EXPECT_EQ(0, disk.sharpen.on);
  ImagesImportSettings import;
  import.UseExif = false;
  import.Load();
  EXPECT_TRUE(import.UseExif);

  struct Case {
    int stored;
    int rotation;
  };
  for (const Case c : {Case{7, 0}, Case{-1, 0}, Case{3, 3}, Case{4, 0}}) {
    App().WriteProfileInt("Image From Disk", "Rotate", c.stored);
    App().WriteProfileInt("Images From Hot", "Rotate", c.stored);
    disk.Load();
    ImagesFromHotSettings hot;
    hot.Load();
    EXPECT_EQ(c.rotation, disk.rotation) << c.stored;
    EXPECT_EQ(c.rotation, hot.rotation) << c.stored;
  }
  // Width and order are taken as stored; booleans are any non-zero.
  App().WriteProfileInt("Image From Disk", "FilenameWidth", -3);
  App().WriteProfileInt("Image From Disk", "Order", 9);
  App().WriteProfileInt("Image From Disk", "FlipVertical", 42);
  App().WriteProfileInt("Images Import", "FollowImages", 5);
  disk.Load();
  import.Load();
  EXPECT_EQ(-3, disk.numberWidth);
  EXPECT_EQ(9, disk.order);
  EXPECT_TRUE(disk.flipVertical);
  EXPECT_TRUE(import.FollowImages);
}

TEST_F(ImportSettingsTest, TheProcessingRecordTakesTheChoiceAndTheSharpeningOnlyWhenAsked) {
  ImageFromDiskSettings& disk = ImageFromDiskSettings::Instance();
  disk.rotation = 1;
  disk.flipHorizontal = true;
  disk.lutName = "missing";
  disk.sharpen.on = 1;
  disk.sharpen.kernel = 7;
  const ImageProcessing preview = disk.MakeProcessing(false);
  EXPECT_EQ(1, preview.quarterTurns);
  EXPECT_EQ(0, preview.flipA);
  EXPECT_EQ(1, preview.flipB);
  EXPECT_TRUE(preview.lut.IsEmpty());
  EXPECT_EQ(0, preview.sharpen.on);
  const ImageProcessing stored = disk.MakeProcessing(true);
  EXPECT_EQ(1, stored.sharpen.on);
  EXPECT_EQ(7, stored.sharpen.kernel);
}

// ---- the set-up dialogs

bool Checked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }
void Click(HWND dialog, int id) { ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

TEST_F(ImportSettingsTest, TheDiskSetUpStoresOnOkOnlyAndItsChecksEnableTheirControls) {
  ImageFromDiskSettings& disk = ImageFromDiskSettings::Instance();
  disk.rotation = 2;
  disk.flipVertical = true;
  disk.sharpen.on = 0;
  disk.sharpen.kernel = 5;
  disk.sharpen.strength = 80;
  disk.reference = false;
  disk.keepPath = true;

  {
    CImagesFromDiskSetupDlg cancelled(&MainWindow());
    DialogDriver driver("Images From Disk Setup", [](HWND dialog) {
      Click(dialog, IDC_IMPORT_ROTATE_90);
      Click(dialog, IDC_IMPORT_SHARPEN);
      ::SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      return true;
    });
    cancelled.DoModal();
    EXPECT_TRUE(testsupport::WaitFor([&] { return driver.Succeeded(); }));
  }
  EXPECT_EQ(2, disk.rotation);
  EXPECT_EQ(0, disk.sharpen.on);

  CImagesFromDiskSetupDlg setup(&MainWindow());
  DialogDriver driver("Images From Disk Setup", [](HWND dialog) {
    EXPECT_TRUE(Checked(dialog, IDC_IMPORT_ROTATE_180));
    EXPECT_TRUE(Checked(dialog, IDC_IMPORT_FLIP_VERTICAL));
    EXPECT_FALSE(Checked(dialog, IDC_IMPORT_SHARPEN));
    EXPECT_FALSE(Enabled(dialog, IDC_IMPORT_KERNEL));
    EXPECT_FALSE(Enabled(dialog, IDC_IMPORT_STRENGTH));
    for (int id : {IDC_IMPORT_KEEP_PATH, IDC_IMPORT_DISCARD_PATH, IDC_IMPORT_SEARCH_NOTE})
      EXPECT_FALSE(Enabled(dialog, id)) << id;
    Click(dialog, IDC_IMPORT_SHARPEN);
    EXPECT_TRUE(Enabled(dialog, IDC_IMPORT_KERNEL));
    EXPECT_TRUE(Enabled(dialog, IDC_IMPORT_STRENGTH));
    Click(dialog, IDC_IMPORT_REFERENCE);
    for (int id : {IDC_IMPORT_KEEP_PATH, IDC_IMPORT_DISCARD_PATH, IDC_IMPORT_SEARCH_NOTE})
      EXPECT_TRUE(Enabled(dialog, id)) << id;
    Click(dialog, IDC_IMPORT_DISCARD_PATH);
    Click(dialog, IDC_IMPORT_ROTATE_270);
    ::SendMessageA(::GetDlgItem(dialog, IDC_IMPORT_KERNEL), LCM_SETCURSEL, 7, 0);
    ::SetDlgItemTextA(dialog, IDC_IMPORT_STRENGTH, "70000");
    SaveWindowShot(dialog, "import-setup-disk");
    ::SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    return true;
  });
  ASSERT_EQ(IDOK, setup.DoModal());
  EXPECT_TRUE(testsupport::WaitFor([&] { return driver.Succeeded(); }));
  EXPECT_EQ(3, disk.rotation);
  EXPECT_EQ(1, disk.sharpen.on);
  EXPECT_EQ(7, disk.sharpen.kernel);
  EXPECT_EQ(static_cast<int16_t>(70000 & 0xFFFF), disk.sharpen.strength);  // kept in 16 bits
  EXPECT_TRUE(disk.reference);
  EXPECT_FALSE(disk.keepPath);
  EXPECT_TRUE(disk.lutName.IsEmpty());
}

TEST_F(ImportSettingsTest, TheHotSetUpHasTheSharedControlsAndNoRecordingChoice) {
  ImagesFromHotSettings& hot = ImagesFromHotSettings::Instance();
  hot.sharpen.on = 1;
  CImagesFromHotSetupDlg setup(&MainWindow());
  DialogDriver driver("Images From Hot Source Setup", [](HWND dialog) {
    EXPECT_EQ(nullptr, ::GetDlgItem(dialog, IDC_IMPORT_REFERENCE));
    EXPECT_TRUE(Checked(dialog, IDC_IMPORT_ROTATE_0));
    EXPECT_TRUE(Enabled(dialog, IDC_IMPORT_KERNEL));
    // The tone-curve box lists "[name]" for none.
    EXPECT_EQ(1, ::SendDlgItemMessageA(dialog, IDC_IMPORT_LUT, CB_GETCOUNT, 0, 0));
    Click(dialog, IDC_IMPORT_FLIP_HORIZONTAL);
    Click(dialog, IDC_IMPORT_SHARPEN);
    EXPECT_FALSE(Enabled(dialog, IDC_IMPORT_KERNEL));
    SaveWindowShot(dialog, "import-setup-hot");
    ::SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    return true;
  });
  ASSERT_EQ(IDOK, setup.DoModal());
  EXPECT_TRUE(testsupport::WaitFor([&] { return driver.Succeeded(); }));
  EXPECT_TRUE(hot.flipHorizontal);
  EXPECT_EQ(0, hot.sharpen.on);
}

}  // namespace
