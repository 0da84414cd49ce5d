// Module settings: the window state, the search-path lists and the fixed load and save orders.
#include "ShellTestSupport.h"

#include "LUTList.h"
#include "LibrarySettings.h"
#include "ModuleSettings.h"
#include "Options.h"
#include "SearchPaths.h"
#include "WindowState.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

class SettingsTest : public ShellTest {
 protected:
  CWinApp& App() { return TestApp(); }

  UINT BinarySize(const char* section, const char* entry) {
    BYTE* data = nullptr;
    UINT bytes = 0;
    App().GetProfileBinary(section, entry, &data, &bytes);
    delete[] data;
    return bytes;
  }
};

std::vector<std::string> Texts(const std::vector<const char*>& names) { return {names.begin(), names.end()}; }

TEST_F(SettingsTest, WindowStateOfAFirstStartAndWhatIsWrittenBack) {
  GetWindowState().Load();
  EXPECT_FALSE(GetWindowState().HasPlacement());
  EXPECT_EQ(GetWindowState().lastMode, -1);
  GetWindowState().Save();
  EXPECT_EQ(BinarySize("Window State", "MainPlacement"), 44u);
  EXPECT_FALSE(ProfileValueExists("Window State", "LastMode"));

  App().WriteProfileInt("Window State", "LastMode", 2);
  GetWindowState() = WindowState();
  GetWindowState().Load();
  App().WriteProfileString("Window State", nullptr, nullptr);
  GetWindowState().Save();
  EXPECT_EQ(App().GetProfileInt("Window State", "LastMode", -1), 2u);
}

TEST_F(SettingsTest, APlacementOfAnyOtherSizeIsIgnored) {
  BYTE record[40] = {44};
  App().WriteProfileBinary("Window State", "MainPlacement", record, sizeof(record));
  GetWindowState().placement.length = 44;
  GetWindowState().Load();
  EXPECT_FALSE(GetWindowState().HasPlacement());

  WINDOWPLACEMENT stored = {};
  stored.length = sizeof(stored);
  stored.showCmd = SW_SHOWMAXIMIZED;
  stored.rcNormalPosition = {10, 20, 810, 620};
  App().WriteProfileBinary("Window State", "MainPlacement", reinterpret_cast<BYTE*>(&stored), sizeof(stored));
  GetWindowState().Load();
  ASSERT_TRUE(GetWindowState().HasPlacement());
  EXPECT_EQ(GetWindowState().placement.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
  EXPECT_EQ(GetWindowState().placement.rcNormalPosition.right, 810);
}

TEST_F(SettingsTest, SearchPathListsLoadMissingEntriesAsEmptyAndSaveWithoutStaleEntries) {
  App().WriteProfileInt("Paths\\Images", "Count", 2);
  App().WriteProfileString("Paths\\Images", "Path1", "C:\\Images\\@+");
  App().WriteProfileString("Paths", "CD", "D:\\");
  GetSearchPaths().Load();
  ASSERT_EQ(ImageSearchFolders().GetCount(), 2);
  EXPECT_STREQ(ImageSearchFolders()[0], "C:\\Images\\@+");
  EXPECT_TRUE(ImageSearchFolders()[1].IsEmpty());
  EXPECT_EQ(GraphicSearchFolders().GetCount(), 0);
  EXPECT_STREQ(GetSearchPaths().cdText, "D:\\");

  // Five stored, three kept.
  App().WriteProfileInt("Paths\\Graphics", "Count", 5);
  for (int i = 1; i <= 5; ++i) {
    CString name;
    name.Format("Path%d", i);
    App().WriteProfileString("Paths\\Graphics", name, "G");
  }
  SharedStringList three;
  three.Append("A");
  three.Append("");
  three.Append("C");
  GraphicSearchFolders() = three;
  GetSearchPaths().Save();
  EXPECT_EQ(App().GetProfileInt("Paths\\Graphics", "Count", 0), 3u);
  EXPECT_STREQ(App().GetProfileString("Paths\\Graphics", "Path3", ""), "C");
  EXPECT_TRUE(ProfileValueExists("Paths\\Graphics", "Path2"));
  EXPECT_FALSE(ProfileValueExists("Paths\\Graphics", "Path4"));
  EXPECT_FALSE(ProfileValueExists("Paths\\Graphics", "Path5"));
  EXPECT_TRUE(ProfileValueExists("Paths", "Image Masks"));
}

TEST_F(SettingsTest, AnAbsurdStoredCountIsNotTrusted) {
  App().WriteProfileInt("Paths\\Images", "Count", 0x7FFFFFFF);
  GetSearchPaths().Load();
  EXPECT_EQ(ImageSearchFolders().GetCount(), MaxSearchPathCount);
}

TEST_F(SettingsTest, LoadAndSaveRunInTheirFixedOrders) {
  EXPECT_EQ(Texts(GetSettingsLoadOrder()),
            (std::vector<std::string>{"Window State", "Settings", "Window State", "Graphics", "Masks",
                                      "Backgrounds", "Paths"}));
  EXPECT_EQ(Texts(GetSettingsSaveOrder()), (std::vector<std::string>{"Settings", "Window State", "Graphics",
                                                                     "Masks", "Backgrounds", "Paths"}));
}

TEST_F(SettingsTest, NothingIsSavedUnlessTheSettingsWereLoaded) {
  GetOptions().EditImageEXE = "x.exe";
  SaveAllSettings();
  EXPECT_FALSE(ProfileValueExists("Settings", "EditImageEXE"));
  EXPECT_FALSE(ProfileValueExists("Window State", "MainPlacement"));

  App().WriteProfileString("Masks", "Path", "C:\\Masks");
  LoadAllSettings();
  EXPECT_TRUE(GetFailedSettingsModules().empty());
  EXPECT_STREQ(GetMasksSettings().path, "C:\\Masks");
  SaveAllSettings();
  EXPECT_TRUE(ProfileValueExists("Settings", "EditImageEXE"));
  EXPECT_EQ(BinarySize("Window State", "MainPlacement"), 44u);
  EXPECT_TRUE(ProfileValueExists("Backgrounds", "KeepPath"));
  EXPECT_TRUE(ProfileValueExists("Paths\\Images", "Count"));
}

// The LUT lists are released at exit whether or not the settings were saved, so that no LUT object
// outlives the tone-curve component.
TEST_F(SettingsTest, LUTListsAreReleasedAtExitAlsoWithoutASave) {
  LUTList list;
  LUTRecord record;
  record.name = "Warm";
  list.Add(record);
  SaveAllSettings();
  EXPECT_FALSE(AreSettingsLoaded());
  EXPECT_EQ(list.GetCount(), 0);

  list.Add(record);
  LoadAllSettings();
  SaveAllSettings();
  EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(SettingsTest, SharpenSettingsLiveInASectionPerModule) {
  SharpenValues values;
  values.on = 1;
  values.kernel = 5;
  values.strength = 70;
  SaveSharpenSettings("ImportFromDisk", values);
  EXPECT_TRUE(ProfileValueExists("Sharpen\\ImportFromDisk", "Kernel"));
  SharpenValues loaded;
  LoadSharpenSettings("ImportFromDisk", loaded);
  EXPECT_EQ(loaded.on, 1);
  EXPECT_EQ(loaded.kernel, 5);
  EXPECT_EQ(loaded.strength, 70);
}

}  // namespace
