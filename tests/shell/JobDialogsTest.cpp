// The job's Properties sheet, the Notes editor and the choice of a text field: real dialogs from
// the program's resources, run modally on the test thread and driven from a second thread the way
// UI automation does it (the menu list's popup through the class library's menu script).
#include "ShellTestSupport.h"

#include "DialogDriver.h"
#include "WindowShot.h"

#include "ControlClasses.h"
#include "DetailsFields.h"
#include "JobFileOptions.h"
#include "NotesDlg.h"
#include "PropertiesDlg.h"
#include "SelectFieldDlg.h"
#include "TheDocument.h"
#include "resource.h"

#include "classlib/PopupMenuScript.h"
#include "classlib/ScriptedPrompt.h"

#include <string>

using testsupport::ClickButton;
using testsupport::DialogDriver;
using testsupport::SaveWindowShot;
using testsupport::WaitFor;
using testsupport::WindowText;

namespace {

bool Checked(HWND page, int id) {
  return ::SendMessageA(::GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
std::string ItemText(HWND dialog, int id) { return WindowText(::GetDlgItem(dialog, id)); }
void SetItemText(HWND dialog, int id, const char* text) {
  ::SendMessageA(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
void Click(HWND dialog, int id) { ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}
HWND ShowPage(HWND sheet, int index) {
  ::SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
  return CurrentPage(sheet);
}
HWND FocusOf(DWORD thread) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  ::GetGUIThreadInfo(thread, &info);
  return info.hwndFocus;
}

class JobDialogsTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ControlClasses::RegisterMenuListClass();
    ControlClasses::RegisterPickListClass();
  }
  const DWORD testThread = ::GetCurrentThreadId();
};

// ---- Properties

TEST_F(JobDialogsTest, PropertiesRoundTripTheirValuesAndAdjustTheStoredSize) {
  CPropertiesDlg sheet;
  sheet.indexed = true;
  sheet.primaryFirst = true;
  sheet.storedSize = 0;
  sheet.previewSize = 300;
  sheet.text = "queue text";
  DialogDriver driver("File Properties", [](HWND hSheet) {
    HWND general = CurrentPage(hSheet);
    EXPECT_EQ(WindowText(hSheet), "File Properties");
    EXPECT_TRUE(Checked(general, IDC_PROPERTIES_INDEXED));
    EXPECT_FALSE(Checked(general, IDC_PROPERTIES_SEQUENTIAL));
    SaveWindowShot(hSheet, "properties-general");
    Click(general, IDC_PROPERTIES_SEQUENTIAL);
    HWND sizes = ShowPage(hSheet, 1);
    EXPECT_NE(sizes, general);
    EXPECT_TRUE(Checked(sizes, IDC_PROPERTIES_KEEP_SIZE));
    EXPECT_EQ(ItemText(sizes, IDC_PROPERTIES_STORED_SIZE), "1024");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(sizes, IDC_PROPERTIES_STORED_SIZE))) << "greyed while kept";
    EXPECT_EQ(ItemText(sizes, IDC_PROPERTIES_PREVIEW_SIZE), "300");
    SaveWindowShot(hSheet, "properties-sizes");
    Click(sizes, IDC_PROPERTIES_ADJUST_SIZE);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(sizes, IDC_PROPERTIES_STORED_SIZE)));
    SetItemText(sizes, IDC_PROPERTIES_PREVIEW_SIZE, "256");
    ::SendMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    return true;
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_FALSE(sheet.indexed);
  EXPECT_TRUE(sheet.primaryFirst);
  EXPECT_EQ(sheet.storedSize, 1024);
  EXPECT_EQ(sheet.previewSize, 256);
  EXPECT_EQ(sheet.text, "queue text");
}

TEST_F(JobDialogsTest, PropertiesKeepTheOriginalSizeAndCancelChangesNothing) {
  {
    CPropertiesDlg sheet;
    sheet.indexed = false;
    sheet.storedSize = 2048;
    sheet.previewSize = 512;
    DialogDriver driver("File Properties", [](HWND hSheet) {
      EXPECT_TRUE(Checked(CurrentPage(hSheet), IDC_PROPERTIES_SEQUENTIAL));
      HWND sizes = ShowPage(hSheet, 1);
      EXPECT_TRUE(Checked(sizes, IDC_PROPERTIES_ADJUST_SIZE));
      EXPECT_EQ(ItemText(sizes, IDC_PROPERTIES_STORED_SIZE), "2048");
      Click(sizes, IDC_PROPERTIES_KEEP_SIZE);
      ::SendMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
      return true;
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(sheet.storedSize, 0);
    EXPECT_FALSE(sheet.indexed);
  }
  CPropertiesDlg sheet;
  sheet.indexed = true;
  sheet.storedSize = 2048;
  sheet.previewSize = 512;
  DialogDriver driver("File Properties", [](HWND hSheet) {
    Click(CurrentPage(hSheet), IDC_PROPERTIES_SEQUENTIAL);
    HWND sizes = ShowPage(hSheet, 1);
    SetItemText(sizes, IDC_PROPERTIES_STORED_SIZE, "4");
    ::SendMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    return true;
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_TRUE(sheet.indexed);
  EXPECT_EQ(sheet.storedSize, 2048);
}

TEST_F(JobDialogsTest, SetAsDefaultTakesEffectAtOnceEvenWhenTheSheetIsCancelled) {
  ASSERT_TRUE(Start());
  CTheDocument* document = TestApp().GetDocument();
  CPropertiesDlg sheet(TestApp().m_pMainWnd);
  sheet.previewSize = 512;
  DialogDriver driver("File Properties", [](HWND hSheet) {
    HWND sizes = ShowPage(hSheet, 1);
    SetItemText(sizes, IDC_PROPERTIES_PREVIEW_SIZE, "100");
    Click(sizes, IDC_PROPERTIES_SET_DEFAULT);
    EXPECT_EQ(GetJobFileOptions().DefaultDraftSize, 100 * 1024);
    ::SendMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    return true;
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_EQ(sheet.previewSize, 512);
  EXPECT_EQ(GetJobFileOptions().DefaultDraftSize, 102400);
  ASSERT_TRUE(document->CloseJob());
  ASSERT_TRUE(document->NewJob());
  EXPECT_EQ(document->GetDraftSize(), 102400) << "a new job starts with the new default";
}

// Sizes are kept as int32 bytes: kilobytes above 2,097,151 would overflow, and a negative size
// means nothing. Such text is refused like text that is no number, and the page stays open.
TEST_F(JobDialogsTest, SizeBoxesRefuseTextThatIsNoSizeAndThePageStaysOpen) {
  CScriptedPrompt prompts;
  prompts.FailWhenEmpty(true);
  for (int i = 0; i < 8; ++i) prompts.Answer(IDOK);
  CPropertiesDlg sheet;
  sheet.storedSize = 100;
  sheet.previewSize = 200;
  GetJobFileOptions().DefaultDraftSize = 524288;
  struct Refused {
    int box;
    const char* text;
    UINT stringId;
  };
  const Refused refused[] = {
      {IDC_PROPERTIES_PREVIEW_SIZE, "abc", AFX_IDP_PARSE_INT},
      {IDC_PROPERTIES_PREVIEW_SIZE, "2097152", AFX_IDP_PARSE_INT_RANGE},
      {IDC_PROPERTIES_STORED_SIZE, "-1", AFX_IDP_PARSE_INT_RANGE},
      {IDC_PROPERTIES_STORED_SIZE, "12x", AFX_IDP_PARSE_INT},
  };
  DialogDriver driver("File Properties", [&](HWND hSheet) {
    HWND sizes = ShowPage(hSheet, 1);
    size_t asked = 0;
    for (const Refused& r : refused) {
      SCOPED_TRACE(r.text);
      SetItemText(sizes, IDC_PROPERTIES_PREVIEW_SIZE, "200");
      SetItemText(sizes, IDC_PROPERTIES_STORED_SIZE, "100");
      SetItemText(sizes, r.box, r.text);
      ::SendMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
      if (!WaitFor([&] { return prompts.GetShown().size() > asked; })) return false;
      asked = prompts.GetShown().size();
      EXPECT_EQ(prompts.GetShown().back().stringId, r.stringId);
      EXPECT_TRUE(::IsWindow(hSheet) && CurrentPage(hSheet) == sizes) << "the page stays open";
      if (r.box == IDC_PROPERTIES_PREVIEW_SIZE) {
        Click(sizes, IDC_PROPERTIES_SET_DEFAULT);
        if (!WaitFor([&] { return prompts.GetShown().size() > asked; })) return false;
        asked = prompts.GetShown().size();
        EXPECT_EQ(GetJobFileOptions().DefaultDraftSize, 524288) << "the default stays";
      }
    }
    SetItemText(sizes, IDC_PROPERTIES_STORED_SIZE, "2097151");
    SetItemText(sizes, IDC_PROPERTIES_PREVIEW_SIZE, "0");
    ::SendMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    return true;
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(sheet.storedSize, 2097151) << "the largest size that fits";
  EXPECT_EQ(sheet.previewSize, 0);
  EXPECT_EQ(prompts.GetShown().size(), 6u);
  EXPECT_EQ(prompts.GetShown()[0].text, "Please enter an integer.");
}

// ---- Notes

TEST_F(JobDialogsTest, NotesStartWithTheCaretAtTheEndAndOkReturnsTheEditedText) {
  CNotesDlg notes("first line\r\nsecond", true);
  const DWORD thread = testThread;
  DialogDriver driver("Notes", [thread](HWND hDlg) {
    HWND edit = ::GetDlgItem(hDlg, IDC_NOTES_TEXT);
    EXPECT_EQ(WindowText(edit), "first line\r\nsecond");
    DWORD start = 0, end = 0;
    ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 18u) << "the caret at the end, nothing selected";
    EXPECT_EQ(end, 18u);
    EXPECT_EQ(FocusOf(thread), edit);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(hDlg, IDOK)));
    SaveWindowShot(hDlg, "notes");
    SetItemText(hDlg, IDC_NOTES_TEXT, "changed");
    ClickButton(hDlg, IDOK);
    return true;
  });
  EXPECT_EQ(notes.DoModal(), IDOK);
  EXPECT_EQ(notes.text, "changed");
}

TEST_F(JobDialogsTest, NotesCancelKeepsTheTextAndReadOnlyNotesHaveNoOk) {
  {
    CNotesDlg notes("kept", true);
    DialogDriver driver("Notes", [](HWND hDlg) {
      SetItemText(hDlg, IDC_NOTES_TEXT, "thrown away");
      ClickButton(hDlg, IDCANCEL);
      return true;
    });
    EXPECT_EQ(notes.DoModal(), IDCANCEL);
    EXPECT_EQ(notes.text, "kept");
  }
  CNotesDlg notes("read only", false);
  DialogDriver driver("Notes", [](HWND hDlg) {
    HWND edit = ::GetDlgItem(hDlg, IDC_NOTES_TEXT);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hDlg, IDOK)));
    EXPECT_TRUE(::GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);
    ::SendMessageA(edit, WM_CHAR, 'x', 1);
    EXPECT_EQ(WindowText(edit), "read only") << "typing changes nothing";
    SaveWindowShot(hDlg, "notes-read-only");
    ClickButton(hDlg, IDCANCEL);
    return true;
  });
  EXPECT_EQ(notes.DoModal(), IDCANCEL);
  EXPECT_EQ(notes.text, "read only");
}

TEST_F(JobDialogsTest, NotesLongerThanAnEditsDefaultLimitComeBackWhole) {
  CString longText;
  for (int i = 0; i < 500; ++i)
    longText += "notes line of seventy-eight characters, ending with a line break, padded to 78\r\n";
  CNotesDlg notes(longText, true);
  DialogDriver driver("Notes", [](HWND hDlg) {
    ClickButton(hDlg, IDOK);
    return true;
  });
  EXPECT_EQ(notes.DoModal(), IDOK);
  EXPECT_EQ(notes.text.GetLength(), 500 * 80);
  EXPECT_EQ(notes.text, longText);
}

// ---- Select field

DetailsFields SampleFields() {
  DetailsFields fields;
  const struct {
    const char* id;
    const char* name;
    int type;
  } sample[] = {{"1", "Name", 0}, {"2", "Born", 3}, {"3", "Code", 0}, {"4", "Amount", 4}, {"5", "", 0}};
  for (const auto& f : sample) fields.Add(DetailField(CObjectID(f.id), f.name, f.type, 0));
  return fields;
}

// Chooses the list's entry with identifier id through the menu the list opens.
void ChooseFromList(HWND hDlg, CPopupMenuScript& menus, int id) {
  menus.Choose(static_cast<UINT>(id + 1));
  ::SendMessageA(::GetDlgItem(hDlg, IDC_SELECT_FIELD_LIST), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
}

TEST_F(JobDialogsTest, SelectFieldOffersUndefinedThenTheFieldsAndReturnsATextFieldInCapitals) {
  CPopupMenuScript menus;
  const DetailsFields fields = SampleFields();
  CSelectFieldDlg dialog(fields, "", "", "cODE");
  DialogDriver driver("Select field", [&](HWND hDlg) {
    HWND ok = ::GetDlgItem(hDlg, IDOK);
    EXPECT_EQ(ItemText(hDlg, IDC_SELECT_FIELD_GROUP), "Field to use");
    EXPECT_EQ(::SendMessageA(::GetDlgItem(hDlg, IDC_SELECT_FIELD_LIST), LCM_GETCURSEL, 0, 0), 3)
        << "the field named like the current one, regardless of case";
    EXPECT_EQ(ItemText(hDlg, IDC_SELECT_FIELD_TYPE), "text");
    EXPECT_TRUE(::IsWindowEnabled(ok));
    SaveWindowShot(hDlg, "select-field");

    ChooseFromList(hDlg, menus, 2);  // Born, a date
    EXPECT_EQ(ItemText(hDlg, IDC_SELECT_FIELD_TYPE), "date");
    EXPECT_FALSE(::IsWindowEnabled(ok));
    ChooseFromList(hDlg, menus, 4);
    EXPECT_EQ(ItemText(hDlg, IDC_SELECT_FIELD_TYPE), "currency");
    ChooseFromList(hDlg, menus, 0);  // "[undefined]" can be chosen again
    EXPECT_EQ(::SendMessageA(::GetDlgItem(hDlg, IDC_SELECT_FIELD_LIST), LCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(ItemText(hDlg, IDC_SELECT_FIELD_TYPE), "");
    EXPECT_FALSE(::IsWindowEnabled(ok));
    ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // Enter while greyed
    EXPECT_TRUE(::IsWindow(hDlg)) << "no OK on \"[undefined]\"";
    ChooseFromList(hDlg, menus, 1);
    EXPECT_TRUE(::IsWindowEnabled(ok));
    ClickButton(hDlg, IDOK);
    return true;
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.chosen, "NAME");

  const auto shown = menus.GetShown();
  ASSERT_FALSE(shown.empty());
  ASSERT_EQ(shown[0].items.size(), 6u);
  EXPECT_EQ(shown[0].items[0].text, "[undefined]");
  EXPECT_NE(shown[0].items[0].nID, 0u) << "\"[undefined]\" has a command the menu can return";
  EXPECT_EQ(shown[0].items[1].text, "Name");
  EXPECT_EQ(shown[0].items[4].text, "Amount");
  EXPECT_EQ(shown[0].items[5].text, "");
  EXPECT_TRUE(shown[0].items[3].nState & MF_CHECKED);
}

TEST_F(JobDialogsTest, SelectFieldTakesTheCaptionAndLabelAndWithoutFieldsOffersOnlyUndefined) {
  CPopupMenuScript menus;
  const DetailsFields none;
  CSelectFieldDlg dialog(none, "Mask from field", "Field with the mask name", "Name");
  DialogDriver driver("Mask from field", [&](HWND hDlg) {
    EXPECT_EQ(ItemText(hDlg, IDC_SELECT_FIELD_GROUP), "Field with the mask name");
    EXPECT_EQ(::SendMessageA(::GetDlgItem(hDlg, IDC_SELECT_FIELD_LIST), LCM_GETCURSEL, 0, 0), 0);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hDlg, IDOK)));
    SaveWindowShot(hDlg, "select-field-empty");
    ClickButton(hDlg, IDCANCEL);
    return true;
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.chosen, "");
}

}  // namespace
