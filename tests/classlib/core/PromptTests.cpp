#include "classlib/Exception.h"
#include "classlib/Prompt.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(PromptTest, ScriptedAnswersAndRecordsEveryPrompt) {
  CScriptedPrompt script;
  script.Answer(IDNO).Answer(IDRETRY);

  EXPECT_EQ(AfxMessageBox("Save the changes?", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(AfxPrompt(nullptr, "Export failed.", "Export", MB_ABORTRETRYIGNORE), IDRETRY);

  auto shown = script.GetShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "Save the changes?");
  EXPECT_EQ(shown[0].caption, AfxGetAppName());
  EXPECT_EQ(shown[0].owner, GetActiveWindow());
  EXPECT_EQ(shown[0].flags, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
  EXPECT_EQ(shown[0].stringId, 0u);
  EXPECT_TRUE(shown[0].answered);
  EXPECT_EQ(shown[1].caption, "Export");
  EXPECT_EQ(shown[1].flags, static_cast<UINT>(MB_ABORTRETRYIGNORE));
  EXPECT_EQ(script.PendingAnswers(), 0u);
}

TEST(PromptTest, StringIdPromptsRecordTheirId) {
  CScriptedPrompt script;
  script.FailWhenEmpty(true);
  EXPECT_EQ(AfxMessageBox(565u, MB_YESNOCANCEL), 0);  // no answer queued
  auto shown = script.GetShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].stringId, 565u);
  EXPECT_FALSE(shown[0].answered);
  // Both forms of AfxMessageBox carry the application's name as caption.
  AfxMessageBox("text", MB_OK);
  shown = script.GetShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].caption, shown[1].caption);
}

TEST(PromptTest, ExceptionsReportThroughThePrompt) {
  CScriptedPrompt script;
  script.Answer(IDOK).Answer(IDOK);
  CException* error = new CMemoryException();
  error->ReportError();
  error->Delete();

  try {
    AfxThrowUserException();
  } catch (CException* e) {
    e->ReportError();  // the user has been told already: nothing shows
    e->Delete();
  }
  try {
    AfxThrowFileException(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "C:\\missing.zvk");
  } catch (CException* e) {
    char text[512];
    ASSERT_TRUE(e->GetErrorMessage(text, sizeof(text)));
    EXPECT_EQ(strncmp(text, "C:\\missing.zvk: ", 16), 0);
    e->ReportError(MB_ICONSTOP);
    e->Delete();
  }
  auto shown = script.GetShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "Out of memory.");
  EXPECT_EQ(shown[0].flags, static_cast<UINT>(MB_OK));
  EXPECT_EQ(shown[1].flags, static_cast<UINT>(MB_ICONSTOP));
}

namespace {

struct FoundBox {
  HWND window = nullptr;
  char text[256] = {};
};

BOOL CALLBACK FindOurBox(HWND window, LPARAM param) {
  char className[32] = {};
  GetClassNameA(window, className, sizeof(className));
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || strcmp(className, "#32770") != 0 || !IsWindowVisible(window))
    return TRUE;
  reinterpret_cast<FoundBox*>(param)->window = window;
  return FALSE;
}

}  // namespace

// Without a script the real message box appears; a second thread finds it as automation would
// and presses its No button.
TEST(PromptTest, WithoutAnAnswerTheRealMessageBoxAppears) {
  std::atomic<bool> pressed{false};
  FoundBox found;
  std::thread presser([&] {
    for (int attempt = 0; attempt < 300 && !pressed; ++attempt) {
      FoundBox box;
      EnumWindows(FindOurBox, reinterpret_cast<LPARAM>(&box));
      if (box.window != nullptr) {
        GetWindowTextA(box.window, found.text, sizeof(found.text));
        found.window = box.window;
        HWND no = GetDlgItem(box.window, IDNO);
        if (no != nullptr) {
          PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(no));
          pressed = true;
          break;
        }
      }
      Sleep(50);
    }
  });
  int answer = AfxPrompt(nullptr, "Really delete?", "Prompt test", MB_YESNO);
  presser.join();
  ASSERT_TRUE(pressed.load());
  EXPECT_EQ(answer, IDNO);
  EXPECT_STREQ(found.text, "Prompt test");
}
