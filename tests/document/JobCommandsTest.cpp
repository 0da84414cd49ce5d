// The Notes and Properties commands of the document, run with the program's real dialogs and driven
// from a second thread the way UI automation does it.
#include "DocumentTestSupport.h"

#include "DialogDriver.h"
#include "WindowShot.h"
#include "DocumentEvents.h"
#include "ImageEvents.h"
#include "JobShellServices.h"
#include "Options.h"

#include "classlib/ScriptedPrompt.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

using namespace doctest;
using testsupport::ClickButton;
using testsupport::DialogDriver;
using testsupport::WindowText;

namespace {

using Names = std::vector<std::string>;

void Click(HWND dialog, int id) { ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}
HWND ShowPage(HWND sheet, int index) {
  ::SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
  return CurrentPage(sheet);
}
void PressOk(HWND sheet) { ::SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0); }

// The real dialogs, with a hook between the dialog and the command.
class HookedServices : public JobShellServices {
 public:
  bool EditProperties(CWnd* owner, JobPropertiesValues& values) override {
    if (throwFromDialog) throw std::runtime_error("the dialog failed");
    const bool ok = JobShellServices::EditProperties(owner, values);
    if (ok && flipPrimaryFirst) values.primaryFirst = !values.primaryFirst;
    return ok;
  }
  bool flipPrimaryFirst = false;
  bool throwFromDialog = false;
};

class JobCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainWindow();
    ResetOptions(folder.Path());
    SetShellServices(&services);
    ASSERT_TRUE(document.NewJob());
    for (int number : {4, 9, 3}) {
      ImageRecord record;
      record.id = CObjectID::CreateNew();
      record.number = number;
      document.GetImages().Add(record);
    }
    document.SetDirty(false);
  }
  void TearDown() override {
    SetShellServices(nullptr);
    document.CloseJob();
    ResetOptions("");
  }

  // Runs Properties with the script on the sheet; the events fired by the command.
  Names RunProperties(std::function<void(HWND)> script) {
    EventRecorder events(document);
    DialogDriver driver("File Properties", [script](HWND sheet) {
      script(sheet);
      return true;
    });
    document.OnProperties();
    return events.names;
  }

  ScratchFolder folder{"commands"};
  HookedServices services;
  CTheDocument document;
};

}  // namespace

TEST_F(JobCommandsTest, SwitchingIndexedOffRenumbersFirstAndOnRenumbersNothing) {
  document.SetIndexed(true);
  Names names = RunProperties([](HWND sheet) {
    Click(ShowPage(sheet, 0), IDC_PROPERTIES_SEQUENTIAL);
    PressOk(sheet);
  });
  EXPECT_EQ((Names{Name<ImageChangedEvent>(), Name<ImageChangedEvent>(), Name<ImageChangedEvent>(),
                   Name<PropertiesChangeEvent>()}),
            names);
  EXPECT_FALSE(document.IsIndexed());
  EXPECT_EQ(1, document.GetImages().GetAt(0).number);
  EXPECT_EQ(3, document.GetImages().GetAt(2).number);
  EXPECT_TRUE(document.IsDirty());

  document.GetImages().Clear();
  ImageRecord record;
  record.id = CObjectID::CreateNew();
  record.number = 7;
  document.GetImages().Add(record);
  names = RunProperties([](HWND sheet) {
    Click(ShowPage(sheet, 0), IDC_PROPERTIES_INDEXED);
    PressOk(sheet);
  });
  EXPECT_EQ((Names{Name<PropertiesChangeEvent>()}), names);
  EXPECT_TRUE(document.IsIndexed());
  EXPECT_EQ(7, document.GetImages().GetAt(0).number);
}

TEST_F(JobCommandsTest, SizesAreKeptInWholeKilobytesAndOkWithoutChangesStillCounts) {
  document.SetStoredBitmapSizeLimit(1500);
  document.SetDraftSize(300 * 1024 + 5);
  std::string shown;
  const Names names = RunProperties([&](HWND sheet) {
    shown = WindowText(::GetDlgItem(ShowPage(sheet, 1), IDC_PROPERTIES_STORED_SIZE));
    PressOk(sheet);
  });
  EXPECT_EQ("1", shown);
  EXPECT_EQ(1024, document.GetStoredBitmapSizeLimit());
  EXPECT_EQ(300 * 1024, document.GetDraftSize());
  EXPECT_EQ((Names{Name<PropertiesChangeEvent>()}), names) << "no control edits the primary-image flag";
  EXPECT_TRUE(document.IsDirty());
}

TEST_F(JobCommandsTest, ADifferingPrimaryImageFlagIsAnnouncedBeforeTheProperties) {
  services.flipPrimaryFirst = true;
  const Names names = RunProperties([](HWND sheet) { PressOk(sheet); });
  EXPECT_EQ((Names{Name<PrimaryImageIsFirstChangeEvent>(), Name<PropertiesChangeEvent>()}), names);
  EXPECT_TRUE(document.IsPrimaryImageFirst());
}

TEST_F(JobCommandsTest, CancelChangesNothingAndAFailureIsShownOnce) {
  document.SetIndexed(true);
  Names names = RunProperties([](HWND sheet) {
    Click(ShowPage(sheet, 0), IDC_PROPERTIES_SEQUENTIAL);
    ::SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  });
  EXPECT_TRUE(names.empty());
  EXPECT_TRUE(document.IsIndexed());
  EXPECT_FALSE(document.IsDirty());

  services.throwFromDialog = true;
  CScriptedPrompt prompts;
  prompts.Answer(IDOK);
  document.OnProperties();
  EXPECT_EQ(1u, prompts.GetShown().size());
  EXPECT_FALSE(document.IsDirty());
}

TEST_F(JobCommandsTest, NotesAreEditedInTheirDialog) {
  document.SetNotes("first line");
  document.SetDirty(false);
  {
    DialogDriver driver("Notes", [](HWND dialog) {
      ::SendMessageA(::GetDlgItem(dialog, IDC_NOTES_TEXT), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>("changed"));
      ClickButton(dialog, IDCANCEL);
      return true;
    });
    document.OnNotes();
  }
  EXPECT_STREQ("first line", document.GetNotes());
  EXPECT_FALSE(document.IsDirty());
  {
    DialogDriver driver("Notes", [](HWND dialog) {
      ::SendMessageA(::GetDlgItem(dialog, IDC_NOTES_TEXT), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>("changed"));
      ClickButton(dialog, IDOK);
      return true;
    });
    document.OnNotes();
  }
  EXPECT_STREQ("changed", document.GetNotes());
  EXPECT_TRUE(document.IsDirty());
}

TEST_F(JobCommandsTest, TheFirstScreensFileMenuOffersPropertiesAndNotesWithAJobOnly) {
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(IDR_JOB_SCREEN));
  CMenu* file = menu.GetSubMenu(0);
  ASSERT_NE(nullptr, file);
  bool properties = false;
  bool notes = false;
  for (int i = 0; i < file->GetMenuItemCount(); ++i) {
    properties |= file->GetMenuItemID(i) == 32825;
    notes |= file->GetMenuItemID(i) == 32832;
  }
  EXPECT_TRUE(properties);
  EXPECT_TRUE(notes);

  // A picture of the menu for review (only with PELLORIN_SHOTS set).
  if (!testsupport::ShotFolder().empty()) {
    const DWORD thread = ::GetCurrentThreadId();
    HWND owner = MainWindow().GetSafeHwnd();
    std::thread shooter([thread, owner] {
      HWND popup = nullptr;
      testsupport::WaitFor([&] {
        ::EnumThreadWindows(
            thread,
            [](HWND hWnd, LPARAM found) -> BOOL {
              char name[16] = {};
              ::GetClassNameA(hWnd, name, sizeof(name));
              if (lstrcmpA(name, "#32768") != 0 || !::IsWindowVisible(hWnd)) return TRUE;
              *reinterpret_cast<HWND*>(found) = hWnd;
              return FALSE;
            },
            reinterpret_cast<LPARAM>(&popup));
        return popup != nullptr;
      });
      if (popup != nullptr) testsupport::SaveWindowShot(popup, "job-screen-file-menu");
      ::PostMessageA(owner, WM_CANCELMODE, 0, 0);
      if (popup != nullptr) ::PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    ::SetForegroundWindow(owner);
    ::TrackPopupMenu(file->GetSafeHmenu(), TPM_RETURNCMD, 100, 100, 0, owner, nullptr);
    shooter.join();
  }

  struct Probe : CCmdUI {
    bool enabled = false;
    void Enable(BOOL on) override { enabled = on != FALSE; }
  };
  for (bool open : {true, false}) {
    if (!open) ASSERT_TRUE(document.CloseJob());
    for (UINT id : {32825u, 32832u}) {
      Probe probe;
      probe.m_nID = id;
      probe.DoUpdate(&document, TRUE);
      EXPECT_EQ(open, probe.enabled) << id;
    }
  }
}

TEST_F(JobCommandsTest, AnImageEditorIsKnownWhenTheOptionNamesOne) {
  const CString previous = GetOptions().EditImageEXE;
  GetOptions().EditImageEXE = "C:\\Tools\\edit.exe";
  EXPECT_TRUE(document.HasImageEditor());
  GetOptions().EditImageEXE.Empty();
  EXPECT_FALSE(document.HasImageEditor());
  SetShellServices(nullptr);
  GetOptions().EditImageEXE = "C:\\Tools\\edit.exe";
  EXPECT_FALSE(document.HasImageEditor()) << "without the shell nothing is known";
  GetOptions().EditImageEXE = previous;
}
