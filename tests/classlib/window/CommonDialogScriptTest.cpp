// The common dialogs through their test seams: what a file, colour or folder dialog was shown
// with, and the answers a test gives it (OK with a path or a colour, Cancel, nothing scripted).
#include <gtest/gtest.h>

#include "WindowTestSupport.h"

#include <vector>

namespace {

const char kTextFilter[] = "Text Files (*.txt;*.csv)|*.txt;*.csv|All Files (*.*)|*.*||";

TEST(FileDialogScript, AnOpenDialogShowsItsSettingsAndAnswersThePath) {
  CFileDialogScript script;
  script.Answer("C:\\jobs\\Portrait.job.txt", 2);
  CFileDialog dlg(TRUE, nullptr, nullptr,
                  OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST, kTextFilter);
  dlg.m_ofn.lpstrTitle = "Text file to import";
  dlg.m_ofn.lpstrInitialDir = "C:\\imports";
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetPathName(), "C:\\jobs\\Portrait.job.txt");
  EXPECT_EQ(dlg.GetFileName(), "Portrait.job.txt");
  EXPECT_EQ(dlg.GetFileExt(), "txt");
  EXPECT_EQ(dlg.GetFileTitle(), "Portrait.job");
  EXPECT_EQ(dlg.GetFolderPath(), "C:\\jobs");
  EXPECT_EQ(dlg.m_ofn.nFilterIndex, 2u);
  EXPECT_EQ(dlg.m_ofn.nFileOffset, 8);
  EXPECT_EQ(dlg.m_ofn.nFileExtension, 21);

  auto shown = script.GetShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].bOpen);
  EXPECT_TRUE(shown[0].answered);
  EXPECT_EQ(shown[0].title, "Text file to import");
  EXPECT_EQ(shown[0].initialDir, "C:\\imports");
  EXPECT_EQ(shown[0].filter, "Text Files (*.txt;*.csv)|*.txt;*.csv|All Files (*.*)|*.*|");
  EXPECT_EQ(shown[0].flags & ~static_cast<DWORD>(OFN_EXPLORER | OFN_ENABLEHOOK), 0x180Cu);
  EXPECT_EQ(shown[0].flags & (OFN_EXPLORER | OFN_ENABLEHOOK),
            static_cast<DWORD>(OFN_EXPLORER | OFN_ENABLEHOOK));
  EXPECT_EQ(shown[0].templateName, nullptr);
}

TEST(FileDialogScript, ASaveDialogShowsItsDefaultExtensionNameAndTemplate) {
  CFileDialogScript script;
  script.Answer("D:\\out\\noext");
  CFileDialog dlg(FALSE, "pjb", "Untitled", OFN_OVERWRITEPROMPT, "Jobs (*.pjb)|*.pjb||");
  dlg.m_ofn.Flags |= OFN_ENABLETEMPLATE;
  dlg.m_ofn.lpTemplateName = MAKEINTRESOURCEA(185);
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetFileName(), "noext");
  EXPECT_EQ(dlg.GetFileExt(), "");
  EXPECT_EQ(dlg.GetFileTitle(), "noext");
  EXPECT_EQ(dlg.m_ofn.nFileExtension, 12) << "no extension: the offset of the terminator";
  auto shown = script.GetShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_FALSE(shown[0].bOpen);
  EXPECT_EQ(shown[0].defExt, "pjb");
  EXPECT_EQ(shown[0].fileName, "Untitled");
  EXPECT_EQ(shown[0].filter, "Jobs (*.pjb)|*.pjb|");
  EXPECT_TRUE(IS_INTRESOURCE(shown[0].templateName));
  EXPECT_EQ(reinterpret_cast<UINT_PTR>(shown[0].templateName), 185u);
  EXPECT_NE(shown[0].flags & OFN_ENABLETEMPLATE, 0u);
}

TEST(FileDialogScript, CancelAndAnEmptyQueueLeaveTheNameAlone) {
  CFileDialogScript script;
  script.Cancel();
  CFileDialog dlg(TRUE, nullptr, "start.txt");
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.GetPathName(), "start.txt");
  auto shown = script.GetShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_FALSE(shown[0].answered);
  EXPECT_FALSE(shown[1].answered);
  EXPECT_EQ(script.PendingAnswers(), 0u);
}

TEST(FileDialogScript, SeveralFilesComeBackOneByOne) {
  struct Case {
    std::vector<CString> names;
    std::vector<CString> expected;
  };
  const Case cases[] = {
      {{"IMG_0001.jpg", "IMG_0002.jpg", "b.png"},
       {"C:\\shoot\\IMG_0001.jpg", "C:\\shoot\\IMG_0002.jpg", "C:\\shoot\\b.png"}},
      {{"only.tif"}, {"C:\\shoot\\only.tif"}},
  };
  for (const Case& c : cases) {
    CFileDialogScript script;
    script.AnswerFiles("C:\\shoot", c.names);
    std::vector<char> buffer(49152, '\0');
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST);
    dlg.m_ofn.lpstrFile = buffer.data();
    dlg.m_ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ASSERT_EQ(dlg.DoModal(), IDOK);
    std::vector<CString> got;
    for (POSITION pos = dlg.GetStartPosition(); pos != nullptr;) got.push_back(dlg.GetNextPathName(pos));
    EXPECT_EQ(got, c.expected);
  }
}

TEST(FileDialogScript, AnAnswerThatDoesNotFitFailsAsTheSystemDoes) {
  CFileDialogScript script;
  script.AnswerFiles("C:\\a rather long folder name", {"first.jpg", "second.jpg"});
  char small[16] = {};
  CFileDialog dlg(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT);
  dlg.m_ofn.lpstrFile = small;
  dlg.m_ofn.nMaxFile = sizeof(small);
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_EQ(AfxCommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
  WORD needed = 0;
  memcpy(&needed, small, sizeof(needed));
  EXPECT_EQ(needed, 51) << "the size needed, in the buffer's first bytes";
  ASSERT_EQ(script.GetShown().size(), 1u);
  EXPECT_FALSE(script.GetShown()[0].answered);
}

TEST(FileDialogScript, DirectCallersGoThroughTheSameSeam) {
  CFileDialogScript script;
  script.Answer("C:\\x\\y.bmp");
  char name[MAX_PATH] = {};
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.lpstrFile = name;
  ofn.nMaxFile = sizeof(name);
  ofn.lpstrTitle = "Direct";
  EXPECT_TRUE(AfxGetOpenFileName(&ofn));
  EXPECT_STREQ(name, "C:\\x\\y.bmp");
  EXPECT_FALSE(AfxGetSaveFileName(&ofn));
  auto shown = script.GetShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].title, "Direct");
  EXPECT_FALSE(shown[1].bOpen);
}

TEST(ColorDialogScript, AnswersAColourOrCancelsAndRecordsTheInitialColourAndFlags) {
  CColorDialogScript script;
  script.Answer(RGB(10, 20, 30)).Cancel();
  CColorDialog dlg(RGB(200, 100, 50), CC_FULLOPEN | CC_ANYCOLOR);
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetColor(), RGB(10, 20, 30));
  CColorDialog other(RGB(1, 2, 3), CC_FULLOPEN | CC_ANYCOLOR);
  EXPECT_EQ(other.DoModal(), IDCANCEL);
  EXPECT_EQ(other.GetColor(), RGB(1, 2, 3)) << "Cancel keeps the initial colour";
  EXPECT_EQ(other.DoModal(), IDCANCEL) << "nothing scripted: cancelled";
  auto shown = script.GetShown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].initial, RGB(200, 100, 50));
  EXPECT_EQ(shown[0].flags, static_cast<DWORD>(CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT));
  EXPECT_TRUE(shown[1].answered);
  EXPECT_FALSE(shown[2].answered);
  EXPECT_EQ(dlg.m_cc.lpCustColors, CColorDialog::GetSavedCustomColors());
}

TEST(FolderBrowseScript, AnswersAFolderOrCancelsLeavingTheResultAlone) {
  CFolderBrowseScript script;
  script.Answer("C:\\exports").Cancel();
  CString result = "C:\\before";
  EXPECT_TRUE(AfxBrowseForFolder(nullptr, result, "C:\\start", "Path to export images to"));
  EXPECT_EQ(result, "C:\\exports");
  EXPECT_FALSE(AfxBrowseForFolder(nullptr, result, "C:\\exports", "Again"));
  EXPECT_EQ(result, "C:\\exports");
  auto shown = script.GetShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].initialFolder, "C:\\start");
  EXPECT_EQ(shown[0].title, "Path to export images to");
}

}  // namespace
