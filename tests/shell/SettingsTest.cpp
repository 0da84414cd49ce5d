// Module settings: the window state, the search-path lists and the fixed load and save orders.
#include "ShellTestSupport.h"

#include "LUTList.h"
#include "LibrarySettings.h"
#include "ModuleSettings.h"
#include "Options.h"
#include "SearchPaths.h"
#include "WindowState.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
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

// Puts recording steps in place of every module's own for the life of the object; the real steps
// still run, so the values behave as in the program.
class RecordedModules {
 public:
  std::vector<std::string> calls;
  std::string failingLoader;  // this module's load fails after it has done its work

  RecordedModules() {
    for (const char* name :
         {"Window State", "Settings", "Color Management", "Image From Disk", "Images From Hot",
          "Images Import", "Image Export", "Graphics", "Masks", "Backgrounds", "Paths"}) {
      SettingsModule own = ReplaceSettingsModule({name, nullptr, nullptr, nullptr});
      SettingsModule recording = own;
      recording.load = [this, own] {
        calls.push_back(std::string("load ") + own.name);
        own.load();
        if (failingLoader == own.name) throw std::runtime_error("damaged settings");
      };
      recording.save = [this, own] {
        calls.push_back(std::string("save ") + own.name);
        own.save();
      };
      ReplaceSettingsModule(recording);
      owns.push_back(own);
    }
  }
  ~RecordedModules() {
    for (const SettingsModule& own : owns) ReplaceSettingsModule(own);
  }

 private:
  std::vector<SettingsModule> owns;
};

TEST_F(SettingsTest, LoadAndSaveRunInTheirFixedOrders) {
  RecordedModules modules;
  LoadAllSettings();
  SaveAllSettings();
  EXPECT_EQ(modules.calls, (std::vector<std::string>{"load Window State",
                                                     "load Settings",
                                                     "load Color Management",
                                                     "load Window State",
                                                     "load Image From Disk",
                                                     "load Images From Hot",
                                                     "load Images Import",
                                                     "load Image Export",
                                                     "load Graphics",
                                                     "load Masks",
                                                     "load Backgrounds",
                                                     "load Paths",
                                                     "save Settings",
                                                     "save Color Management",
                                                     "save Window State",
                                                     "save Image From Disk",
                                                     "save Images From Hot",
                                                     "save Images Import",
                                                     "save Image Export",
                                                     "save Graphics",
                                                     "save Masks",
                                                     "save Backgrounds",
                                                     "save Paths"}));
}

TEST_F(SettingsTest, AFailingLoaderIsReportedKeepsItsDefaultsAndIsNotSaved) {
  App().WriteProfileString("Masks", "Path", "C:\\Stored");
  App().WriteProfileString("Graphics", "Path", "C:\\Graphics");
  RecordedModules modules;
  modules.failingLoader = "Masks";
  CScriptedPrompt prompts;
  prompts.FailWhenEmpty(true);
  LoadAllSettings();
  ASSERT_EQ(prompts.GetShown().size(), 1u);
  EXPECT_EQ(prompts.GetShown()[0].text, "damaged settings");
  EXPECT_EQ(Texts(GetFailedSettingsModules()), (std::vector<std::string>{"Masks"}));
  EXPECT_STREQ(GetMasksSettings().path, "") << "what the failed loader read is not kept";
  EXPECT_STREQ(GetGraphicsSettings().path, "C:\\Graphics") << "the other modules load";

  GetMasksSettings().path = "C:\\Defaults";
  modules.calls.clear();
  SaveAllSettings();
  EXPECT_EQ(std::find(modules.calls.begin(), modules.calls.end(), "save Masks"), modules.calls.end());
  EXPECT_EQ(modules.calls.size(), 10u);
  EXPECT_STREQ(App().GetProfileString("Masks", "Path", ""), "C:\\Stored") << "the stored value survives";
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
