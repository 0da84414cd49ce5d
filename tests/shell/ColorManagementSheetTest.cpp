// The "Color Management" sheet from the program's resources, run modally and driven from a second thread:
// the Basics page's controls and intents, the Bitmaps page's list with installed and browsed profiles, its
// texts and default, and what accepting the sheet writes into the job and the settings.
#include "ShellTestSupport.h"

#include "DialogDriver.h"
#include "WindowShot.h"

#include "ColorManagementDlg.h"
#include "ColorManagementSettings.h"
#include "IccTagWalker.h"
#include "IcmCache.h"
#include "IcmDraw.h"
#include "RgbSpaces.h"
#include "resource.h"

#include "classlib/FileDialogScript.h"
#include "classlib/ScriptedPrompt.h"

// icm.h maps this name onto the system's own function; the program's takes a CString.
#undef GetColorDirectory
#include "ColorDirectory.h"

#include <atomic>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

using testsupport::DialogDriver;
using testsupport::SaveWindowShot;
using testsupport::WindowText;
using namespace zvk;

namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The job as the sheet reaches it.
class SheetJob : public IcmJob {
 public:
  int32_t state = 0;
  std::vector<uint8_t> profile;
  std::vector<std::string> writes;
  int32_t GetColorProfileState(int) override { return state; }
  bool ReadColorProfile(ColorProfileStreamOut& out, int) override {
    return state == -2 && !profile.empty() && out.Write(profile.data(), profile.size());
  }
  bool SetColorSpace(int32_t space, bool, int) override {
    writes.push_back("space " + std::to_string(space));
    state = space;
    return true;
  }
  bool SetColorProfileFile(const char* path) override {
    writes.push_back(std::string("file ") + path);
    profile = FileBytes(path);
    state = -2;
    return !profile.empty();
  }
};

const std::string kDebian = "Z:\\usr\\share\\color\\icc\\";

HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}
HWND ShowPage(HWND sheet, int index) {
  ::SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
  return CurrentPage(sheet);
}
bool Enabled(HWND page, int id) { return ::IsWindowEnabled(::GetDlgItem(page, id)) != FALSE; }
std::string ItemText(HWND page, int id) { return WindowText(::GetDlgItem(page, id)); }
std::string Text(UINT id) {
  CString text;
  text.LoadString(id);
  return static_cast<const char*>(text);
}
int Selection(HWND page, int id) {
  return static_cast<int>(::SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0));
}
std::vector<std::string> Items(HWND page) {
  std::vector<std::string> items;
  const int count = static_cast<int>(::SendDlgItemMessageA(page, IDC_CM_SPACE, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[512] = {};
    ::SendDlgItemMessageA(page, IDC_CM_SPACE, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}
// Chooses an item as the operator does: the combo's selection changes and it tells the page.
void Choose(HWND page, int item) {
  HWND combo = ::GetDlgItem(page, IDC_CM_SPACE);
  ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_CM_SPACE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}
int IndexOf(const std::vector<std::string>& items, const std::string& text, size_t from = 0) {
  for (size_t i = from; i < items.size(); ++i)
    if (items[i] == text) return static_cast<int>(i);
  return -1;
}
std::string Description(const std::string& path) {
  iccFileReader reader(path);
  IccInfoHandler handler;
  WalkIccTags(reader, handler);
  return handler.Info().text[IccProfileInfo::kDescription];
}

// Runs the sheet modally with a script driving it from a second thread; the script closes it.
struct SheetRun {
  bool accepted;  // closed with OK
  bool scripted;  // the script ran to its end
};
SheetRun RunSheet(const std::function<void(HWND)>& script) {
  std::atomic<bool> scripted{false};
  bool accepted = false;
  {
    DialogDriver driver("Color Management", [&](HWND sheet) {
      script(sheet);
      scripted = true;
      return true;
    });
    accepted = ShowColorManagementDialog(nullptr);
  }
  return {accepted, scripted};
}

class ColorManagementSheetTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ColorManagementSettings::Current() = {};
    SetIcmJob(&job);
    CString folder;
    GetColorDirectory(folder);
    colorFolder = static_cast<const char*>(folder);
  }
  void TearDown() override {
    for (const std::string& copy : copies) ::DeleteFileA(copy.c_str());
    SetIcmJob(nullptr);
    ColorManagementSettings::Current() = {};
    ShellTest::TearDown();
  }
  std::string Install(const char* debian, const char* as) {
    const std::string to = colorFolder + "\\" + as;
    ::CopyFileA((kDebian + debian).c_str(), to.c_str(), FALSE);
    copies.push_back(to);
    return to;
  }
  SheetJob job;
  std::string colorFolder;
  std::vector<std::string> copies;
};

}  // namespace

TEST_F(ColorManagementSheetTest, BasicsEnablesItsChoicesWithColourManagementAndMapsTheIntents) {
  ColorManagementSettings::Current().intent = 1;  // relative colorimetric: the third item
  job.state = 2;
  CScriptedPrompt prompts;
  prompts.FailWhenEmpty(true);
  const SheetRun run = RunSheet([](HWND sheet) {
    HWND basics = CurrentPage(sheet);
    EXPECT_EQ(Selection(basics, IDC_CM_INTENT), 2);
    EXPECT_FALSE(Enabled(basics, IDC_CM_FAITHFUL));
    EXPECT_FALSE(Enabled(basics, IDC_CM_INTENT));
    EXPECT_FALSE(Enabled(basics, IDC_CM_SOFT_PROOF));
    ::SendMessageA(::GetDlgItem(basics, IDC_CM_ENABLE), BM_CLICK, 0, 0);
    EXPECT_TRUE(Enabled(basics, IDC_CM_FAITHFUL));
    EXPECT_TRUE(Enabled(basics, IDC_CM_INTENT));
    EXPECT_FALSE(Enabled(basics, IDC_CM_SOFT_PROOF)) << "soft proofing is never offered";
    EXPECT_EQ(::SendDlgItemMessageA(basics, IDC_CM_FAITHFUL, BM_GETCHECK, 0, 0), BST_CHECKED);
    const std::vector<std::string> intents = {"Perceptual (recommended)", "Saturation",
                                              "Relative Colorimetric", "Absolute Colorimetric"};
    for (int i = 0; i < 4; ++i) {
      char text[64] = {};
      ::SendDlgItemMessageA(basics, IDC_CM_INTENT, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      EXPECT_EQ(text, intents[size_t(i)]);
    }
    ::SendDlgItemMessageA(basics, IDC_CM_INTENT, CB_SETCURSEL, 1, 0);  // saturation
    SaveWindowShot(sheet, "color-management-basics");
    ::SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  });
  EXPECT_TRUE(run.accepted);
  EXPECT_TRUE(run.scripted);
  EXPECT_TRUE(ColorManagementSettings::Current().enabled);
  EXPECT_EQ(ColorManagementSettings::Current().intent, 2);
  EXPECT_TRUE(job.writes.empty()) << "the job keeps its own space";
  EXPECT_TRUE(prompts.GetShown().empty());
}

TEST_F(ColorManagementSheetTest, BitmapsListsTheSpacesAndInstalledRgbProfilesAndSetsTheDefault) {
  Install("sRGB.icc", "pellorin-test-srgb.icm");
  Install("compatibleWithAdobeRGB1998.icc", "pellorin-test-adobe.icm");
  Install("ghostscript\\default_cmyk.icc", "pellorin-test-cmyk.icm");
  job.state = -2;
  job.profile = FileBytes(kDebian + "compatibleWithAdobeRGB1998.icc");
  const std::string embeddedName = Description(kDebian + "compatibleWithAdobeRGB1998.icc");
  const std::string cmykName = Description(kDebian + "ghostscript\\default_cmyk.icc");
  const std::string srgbName = Description(kDebian + "sRGB.icc");
  const SheetRun run = RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, 1);
    const std::vector<std::string> items = Items(page);
    EXPECT_GE(items.size(), 16u);
    if (items.size() < 16) return;
    EXPECT_EQ(items[0], "None");
    for (int id = 1; id <= 9; ++id) EXPECT_EQ(items[size_t(id)], FindNamedRgbSpace(id)->name);
    EXPECT_EQ(items[10], "");
    EXPECT_EQ(items[11], embeddedName);
    EXPECT_EQ(items[12], "");
    EXPECT_EQ(items.back(), "Load...");
    EXPECT_EQ(items[items.size() - 2], "") << "a separator before Load...";
    EXPECT_GE(IndexOf(items, srgbName, 13), 13) << "an installed RGB profile is listed";
    EXPECT_EQ(IndexOf(items, cmykName, 13), -1) << "a CMYK profile is not";
    EXPECT_EQ(Selection(page, IDC_CM_SPACE), 11) << "the job's embedded profile";
    EXPECT_EQ(ItemText(page, IDC_CM_STATUS_TEXT), Text(IDS_CM_IN_JOB));
    EXPECT_FALSE(Enabled(page, IDC_CM_SET_DEFAULT));
    SaveWindowShot(sheet, "color-management-bitmaps");

    struct Step {
      int item;
      UINT description, status;
      bool canSetDefault;
    };
    // The default starts as named space 1.
    for (Step s : {Step{1, IDS_CM_BUILT_IN, IDS_CM_IS_DEFAULT, false},
                   Step{0, IDS_CM_PRINTER_SPACE, IDS_CM_MAKE_DEFAULT, true},
                   Step{2, IDS_CM_BUILT_IN, IDS_CM_MAKE_DEFAULT, true}}) {
      Choose(page, s.item);
      EXPECT_EQ(ItemText(page, IDC_CM_DESCRIPTION), Text(s.description)) << s.item;
      EXPECT_EQ(ItemText(page, IDC_CM_STATUS_TEXT), Text(s.status)) << s.item;
      EXPECT_EQ(Enabled(page, IDC_CM_SET_DEFAULT), s.canSetDefault) << s.item;
    }
    ::SendMessageA(::GetDlgItem(page, IDC_CM_SET_DEFAULT), BM_CLICK, 0, 0);
    EXPECT_EQ(ItemText(page, IDC_CM_STATUS_TEXT), Text(IDS_CM_IS_DEFAULT));
    EXPECT_FALSE(Enabled(page, IDC_CM_SET_DEFAULT));
    Choose(page, 10);  // a separator, reached moving down: the next item below is taken
    EXPECT_EQ(Selection(page, IDC_CM_SPACE), 11);
    Choose(page, 12);
    EXPECT_EQ(Selection(page, IDC_CM_SPACE), 13);
    ::SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  });
  EXPECT_FALSE(run.accepted);
  EXPECT_TRUE(run.scripted);
  EXPECT_EQ(ColorManagementSettings::Current().bitmapSpace, 2) << "Set Default takes effect at once";
  EXPECT_TRUE(job.writes.empty());
}

TEST_F(ColorManagementSheetTest, BrowsedProfilesAreCheckedListedOnceAndWrittenIntoTheJob) {
  job.state = 1;
  const std::string text = scratch + "\\not-a-profile.icc";
  {
    std::ofstream out(text);
    out << "just some text, not a colour profile at all";
  }
  const std::string locked = Install("sRGB.icc", "pellorin-test-locked.icc");
  HANDLE hold = ::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);
  const std::string adobe = kDebian + "compatibleWithAdobeRGB1998.icc";
  CFileDialogScript files;
  files.Answer((kDebian + "ghostscript\\default_cmyk.icc").c_str())
      .Answer(text.c_str())
      .Answer(locked.c_str())
      .Cancel()
      .Answer(adobe.c_str())
      .Answer(adobe.c_str());
  CScriptedPrompt prompts;
  prompts.FailWhenEmpty(true);
  for (int i = 0; i < 3; ++i) prompts.Answer(IDOK);
  const SheetRun run = RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, 1);
    const int count = static_cast<int>(Items(page).size());
    EXPECT_EQ(Selection(page, IDC_CM_SPACE), 1);
    for (UINT message : {IDS_CM_NOT_RGB_SOURCE, IDS_CM_NOT_ICC, IDS_CM_CANNOT_READ}) {
      const size_t before = prompts.GetShown().size();
      const size_t beepsBefore = prompts.GetBeeps().size();
      Choose(page, count - 1);
      EXPECT_EQ(prompts.GetShown().size(), before + 1);
      EXPECT_EQ(prompts.GetBeeps().size(), beepsBefore + 1) << "a refused profile beeps";
      if (prompts.GetShown().size() > before) EXPECT_EQ(prompts.GetShown().back().stringId, message);
      EXPECT_EQ(Selection(page, IDC_CM_SPACE), 1) << "the previous choice returns";
    }
    Choose(page, count - 1);  // cancelled: no sound
    EXPECT_EQ(Selection(page, IDC_CM_SPACE), 1);
    EXPECT_EQ(prompts.GetBeeps(), std::vector<UINT>(3, MB_ICONEXCLAMATION));
    Choose(page, count - 1);
    const int added = Selection(page, IDC_CM_SPACE);
    EXPECT_EQ(added, count - 1) << "inserted before Load...";
    EXPECT_EQ(static_cast<int>(Items(page).size()), count + 1);
    Choose(page, 3);
    Choose(page, count);  // Load... again, the same file
    EXPECT_EQ(static_cast<int>(Items(page).size()), count + 1) << "one entry per profile";
    EXPECT_EQ(Selection(page, IDC_CM_SPACE), added);
    EXPECT_EQ(ItemText(page, IDC_CM_STATUS_TEXT), Text(IDS_CM_MAKE_DEFAULT));
    ::SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  });
  ::CloseHandle(hold);
  EXPECT_TRUE(run.accepted);
  EXPECT_TRUE(run.scripted);
  ASSERT_EQ(job.writes.size(), 1u);
  EXPECT_EQ(job.state, -2);
  EXPECT_EQ(job.profile, FileBytes(adobe));
  const std::vector<CFileDialogScript::Shown> shown = files.GetShown();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(std::string(static_cast<const char*>(shown[0].title)), "Browse for Color Profile");
  EXPECT_EQ(std::string(static_cast<const char*>(shown[0].initialDir)), colorFolder);
}

TEST_F(ColorManagementSheetTest, AcceptingWithNoSpaceChosenWritesTheDefaultOnceAndDropsTheCache) {
  job.state = 0;
  ColorManagementSettings::Current().enabled = true;
  ColorManagementSettings::Current().bitmapSpace = 3;
  // Something cached before: a conversion for a named space.
  IcmCache& cache = IcmCache::Instance();
  const IcmConversion* conversion = nullptr;
  ASSERT_EQ(cache.GetSourceConversion(0, kDebian + "compatibleWithAdobeRGB1998.icc", &conversion), S_OK);
  ASSERT_GT(cache.ConversionCount(), 0u);
  CScriptedPrompt prompts;
  prompts.FailWhenEmpty(true);
  prompts.Answer(IDOK);
  const SheetRun run = RunSheet([](HWND sheet) {
    HWND page = ShowPage(sheet, 1);
    EXPECT_EQ(Selection(page, IDC_CM_SPACE), -1);
    EXPECT_EQ(ItemText(page, IDC_CM_STATUS_TEXT), Text(IDS_CM_NOT_SET));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(page, IDC_CM_STATUS_ICON)));
    SaveWindowShot(sheet, "color-management-bitmaps-unset");
    ShowPage(sheet, 0);
    ::SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  });
  EXPECT_TRUE(run.accepted);
  EXPECT_TRUE(run.scripted);
  EXPECT_EQ(job.writes, std::vector<std::string>{"space 3"});
  ASSERT_EQ(prompts.GetShown().size(), 1u) << "the sheet applies once";
  EXPECT_EQ(prompts.GetShown()[0].stringId, static_cast<UINT>(IDS_DEFAULT_COLOR_SPACE_SET));
  EXPECT_EQ(cache.ConversionCount(), 0u);
  cache.InvalidateAll();
}
