// The disk-import dialog under a real message loop: filling the list, a run with its worker, the
// questions it asks, pausing and stopping, and what ends up in the job.
#include "ImportTestSupport.h"

#include "DialogDriver.h"
#include "LutServerRegistered.h"
#include "WindowShot.h"

#include "ImageEvents.h"
#include "ImageFromDiskSettings.h"
#include "ImagesFromDiskDlg.h"
#include "ImagesImportSettings.h"
#include "resource.h"

#include "classlib/FileDialogScript.h"
#include "classlib/FolderBrowseScript.h"
#include "classlib/ScriptedPrompt.h"

#include <algorithm>
#include <atomic>
#include <memory>

using namespace importtest;
using testsupport::DialogDriver;
using testsupport::SaveWindowShot;

namespace {

constexpr COLORREF Grey = RGB(128, 128, 128);
constexpr COLORREF Marker = RGB(250, 20, 20);

class ImagesFromDiskDlgTest : public ImportTest {
 protected:
  void SetUp() override {
    ImportTest::SetUp();
    dialog = std::make_unique<CImagesFromDiskDlg>(document, &MainWindow());
    ASSERT_NE(nullptr, dialog->m_hWnd);
    dialog->ShowWindow(SW_SHOW);
  }
  void TearDown() override {
    dialog.reset();
    ImportTest::TearDown();
  }
  HWND Dialog() const { return dialog->m_hWnd; }
  void Command(int id) { ::SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  std::string ItemText(int id) {
    char text[512] = {};
    ::GetDlgItemTextA(Dialog(), id, text, sizeof(text));
    return text;
  }
  // Files named name<n>.<ext> for n in numbers, each with a marker block.
  void WriteImages(const std::vector<int>& numbers, long width = 64, long height = 48, long fileType = 6,
                   const char* ext = "bmp") {
    for (int n : numbers) {
      IBitmapPtr bitmap = MakeMarkedBitmap(width, height, Grey, 8, 4, Marker);
      SaveBitmap(bitmap, folder.File("IMG_" + std::to_string(n) + "." + ext), fileType);
    }
  }
  void AddFolder() {
    CFolderBrowseScript browse;
    browse.Answer(folder.Path().c_str());
    Command(IDC_IMPORT_ADD_DIRECTORY);
  }
  bool RunToEnd() {
    Command(IDC_IMPORT_START);
    return PumpUntil([&] { return !dialog->IsRunning() && ItemText(IDC_IMPORT_RESULT) != ""; });
  }
  std::vector<std::string> RowPaths() {
    std::vector<std::string> paths;
    for (int row = 0; row < dialog->GetRowCount(); ++row)
      paths.push_back(static_cast<const char*>(dialog->GetRowPath(row)));
    return paths;
  }
  std::unique_ptr<CImagesFromDiskDlg> dialog;
};

TEST_F(ImagesFromDiskDlgTest, TheListFillsFromAFolderAMaskAndASelectionWithOneRowPerPath) {
  for (const char* name : {"IMG_10.jpg", "IMG_2.jpg", "img_1.JPG", "notes.txt"})
    WriteTextFile(folder.File(name), "x");
  AddFolder();
  EXPECT_EQ(RowPaths(), (std::vector<std::string>{folder.File("notes.txt"), folder.File("img_1.JPG"),
                                                  folder.File("IMG_2.jpg"), folder.File("IMG_10.jpg")}));
  EXPECT_EQ(10, dialog->GetRowNumber(3));
  EXPECT_EQ(CString(folder.Path().c_str()), ImageFromDiskSettings::Instance().path);
  SaveWindowShot(Dialog(), "import-disk-list");

  // The same file again: one row, ticked again, with the number the new way gives it.
  dialog->SetRowTicked(2, false);
  ImageFromDiskSettings& settings = ImageFromDiskSettings::Instance();
  settings.prefix = "IMG_";
  settings.numberWidth = 1;
  settings.extension = "jpg";
  settings.firstNumber = 0;
  {
    DialogDriver driver("Import From Disk Masked", [](HWND mask) {
      EXPECT_EQ("IMG_3.jpg", testsupport::WindowText(::GetDlgItem(mask, IDC_IMPORT_EXAMPLE)));
      ::SetDlgItemTextA(mask, IDC_IMPORT_FIRST_NUMBER, "2");
      ::SendMessageA(mask, WM_COMMAND, IDOK, 0);
      return true;
    });
    Command(IDC_IMPORT_ADD_MASK);
    EXPECT_TRUE(testsupport::WaitFor([&] { return driver.Succeeded(); }));
  }
  EXPECT_EQ(4, dialog->GetRowCount());
  EXPECT_TRUE(dialog->IsRowTicked(2));
  EXPECT_EQ(2, dialog->GetRowNumber(2));

  WriteTextFile(folder.File("extra_7.tif"), "x");
  {
    CFileDialogScript files;
    files.AnswerFiles(folder.Path().substr(0, folder.Path().size() - 1).c_str(),
                      {"extra_7.tif", "IMG_2.jpg"});
    Command(IDC_IMPORT_ADD_SELECTED);
    ASSERT_EQ(1u, files.GetShown().size());
    EXPECT_EQ(CString("Images From Disk Selected"), files.GetShown()[0].title);
    EXPECT_NE(0u, files.GetShown()[0].flags & OFN_ALLOWMULTISELECT);
    EXPECT_EQ(49152u, files.GetShown()[0].maxFile);
  }
  EXPECT_EQ(5, dialog->GetRowCount());
  EXPECT_EQ(folder.File("extra_7.tif"), RowPaths().back());
  EXPECT_EQ(7, dialog->GetRowNumber(4));

  // The system's own open dialog, answered as the operator does: two names typed in quotes.
  WriteTextFile(folder.File("extra_8.tif"), "x");
  WriteTextFile(folder.File("extra_9.tif"), "x");
  {
    DialogDriver driver("Images From Disk Selected", [](HWND open) {
      HWND name = testsupport::FileNameField(open);
      if (name == nullptr) return false;
      ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("\"extra_9.tif\" \"extra_8.tif\""));
      testsupport::ClickButton(open, IDOK);
      return true;
    });
    Command(IDC_IMPORT_ADD_SELECTED);
    EXPECT_TRUE(driver.Succeeded());
  }
  ASSERT_EQ(7, dialog->GetRowCount());
  const std::vector<std::string> paths = RowPaths();
  EXPECT_EQ((std::vector<std::string>{folder.File("extra_8.tif"), folder.File("extra_9.tif")}),
            std::vector<std::string>(paths.end() - 2, paths.end()));
  EXPECT_EQ(9, dialog->GetRowNumber(6));

  Command(IDC_IMPORT_EMPTY_LIST);
  EXPECT_EQ(0, dialog->GetRowCount());
}

TEST_F(ImagesFromDiskDlgTest, TheMaskDialogRefusesReversedLimitsAndAnIndexedJobNeedsAWidth) {
  ImageFromDiskSettings& settings = ImageFromDiskSettings::Instance();
  settings.path = folder.Path().c_str();
  settings.prefix = "IMG_";
  settings.numberWidth = 4;
  settings.extension = "jpg";
  std::atomic<bool> refused{false};
  {
    const DWORD thread = ::GetCurrentThreadId();
    DialogDriver driver("Import From Disk Masked", [&](HWND mask) {
      EXPECT_EQ("IMG_0003.jpg", testsupport::WindowText(::GetDlgItem(mask, IDC_IMPORT_EXAMPLE)));
      EXPECT_EQ("", testsupport::WindowText(::GetDlgItem(mask, IDC_IMPORT_FIRST_NUMBER)));
      ::SetDlgItemTextA(mask, IDC_IMPORT_FIRST_NUMBER, "9");
      ::SetDlgItemTextA(mask, IDC_IMPORT_LAST_NUMBER, "5");
      SaveWindowShot(mask, "import-disk-mask");
      ::SendMessageA(mask, WM_COMMAND, IDOK, 0);
      GUITHREADINFO info = {};
      info.cbSize = sizeof(info);
      ::GetGUIThreadInfo(thread, &info);
      refused = ::IsWindowVisible(mask) && info.hwndFocus == ::GetDlgItem(mask, IDC_IMPORT_LAST_NUMBER);
      ::SendMessageA(mask, WM_COMMAND, IDCANCEL, 0);
      return true;
    });
    Command(IDC_IMPORT_ADD_MASK);
    EXPECT_TRUE(testsupport::WaitFor([&] { return driver.Succeeded(); }));
  }
  EXPECT_TRUE(refused);
  EXPECT_EQ(0, settings.firstNumber);

  document.SetIndexed(true);
  settings.numberWidth = 0;
  CScriptedPrompt prompts;
  prompts.Answer(IDOK);
  {
    DialogDriver driver("Import From Disk Masked", [](HWND mask) {
      EXPECT_EQ("IMG_<xxx>.jpg", testsupport::WindowText(::GetDlgItem(mask, IDC_IMPORT_EXAMPLE)));
      ::SendMessageA(mask, WM_COMMAND, IDOK, 0);
      return true;
    });
    Command(IDC_IMPORT_ADD_MASK);
  }
  ASSERT_EQ(1u, prompts.GetShown().size());
  EXPECT_EQ(static_cast<UINT>(IDS_IMPORT_NEEDS_WIDTH), prompts.GetShown()[0].stringId);
  EXPECT_EQ(0, dialog->GetRowCount());
}

TEST_F(ImagesFromDiskDlgTest, ARunImportsEveryTickedFileWithItsEventsAndHidesTheDialog) {
  std::vector<int> numbers;
  for (int n = 1; n <= 20; ++n) numbers.push_back(n);
  WriteImages(numbers, 64, 48, 10, "jpg");
  IBitmapPtr large = MakeMarkedBitmap(1000, 1000, Grey, 8, 4, Marker);
  SaveBitmap(large, folder.File("IMG_1.jpg"), 10);
  AddFolder();
  ASSERT_EQ(20, dialog->GetRowCount());

  EventRecorder events(document);
  std::vector<int> rowsSeen;
  SIZE firstPreview = {};
  Command(IDC_IMPORT_START);
  ASSERT_TRUE(dialog->IsRunning());
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(Dialog(), IDC_IMPORT_START)));
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(Dialog(), IDC_IMPORT_STOP)));
  ASSERT_TRUE(PumpUntil([&] {
    if (dialog->GetPreview().GetBitmap() != nullptr && firstPreview.cx == 0) {
      firstPreview = SizeOf(dialog->GetPreview().GetBitmap());
      SaveWindowShot(Dialog(), "import-disk-run");
    }
    if (rowsSeen.empty() || rowsSeen.back() != dialog->GetRowCount())
      rowsSeen.push_back(dialog->GetRowCount());
    return !dialog->IsRunning() && !ItemText(IDC_IMPORT_RESULT).empty();
  }));
  EXPECT_EQ("Finished, 20 imported", ItemText(IDC_IMPORT_RESULT));
  EXPECT_EQ("File 20 of 20", ItemText(IDC_IMPORT_FILE_OF));
  EXPECT_EQ(100, ::SendDlgItemMessageA(Dialog(), IDC_IMPORT_RUN_PROGRESS, PBM_GETPOS, 0, 0));
  EXPECT_EQ(147, firstPreview.cx);
  EXPECT_EQ(147, firstPreview.cy);
  EXPECT_EQ(0, dialog->GetRowCount());
  EXPECT_GT(rowsSeen.size(), 2u);  // the rows left one by one
  EXPECT_FALSE(::IsWindowVisible(Dialog()));
  EXPECT_EQ(20, document.GetImages().GetCount());

  std::vector<std::string> order;
  for (const std::string& name : events.names)
    if (name == Name<ImageImportStartEvent>() || name == Name<ImageAddedEvent>() ||
        name == Name<ImageMultipleBeginEvent>() || name == Name<ImageMultipleEndEvent>() ||
        name == Name<ImageImportStopEvent>())
      order.push_back(name);
  std::vector<std::string> expected = {Name<ImageImportStartEvent>()};
  expected.insert(expected.end(), 20, Name<ImageAddedEvent>());
  expected.insert(expected.end(), {Name<ImageMultipleBeginEvent>(), Name<ImageMultipleEndEvent>(),
                                   Name<ImageImportStopEvent>()});
  EXPECT_EQ(expected, order);
  EXPECT_EQ(std::vector<bool>{true}, events.stopFinished);
}

TEST_F(ImagesFromDiskDlgTest, TheTurnAndTheMirrorReachThePreviewAndTheStoredImage) {
  ImageFromDiskSettings& settings = ImageFromDiskSettings::Instance();
  settings.rotation = 1;
  settings.flipHorizontal = true;
  settings.sharpen.on = 1;
  settings.sharpen.kernel = 5;
  WriteImages({1});
  AddFolder();
  std::atomic<bool> sawPreview{false};
  POINT previewMarker = {-1, -1};
  SIZE previewSize = {};
  Command(IDC_IMPORT_START);
  ASSERT_TRUE(PumpUntil([&] {
    if (zvkImage::IBitmap* preview = dialog->GetPreview().GetBitmap(); preview != nullptr && !sawPreview) {
      sawPreview = true;
      previewSize = SizeOf(preview);
      previewMarker = FindColour(preview, Marker, 40);
    }
    return !dialog->IsRunning() && !ItemText(IDC_IMPORT_RESULT).empty();
  }));
  // A 64 x 48 source with its marker block at (8, 4): mirrored left to right it lies at (48, 4); one
  // counter-clockwise quarter turn takes (x, y) to (y, 63 - x) and makes the picture 48 x 64.
  EXPECT_EQ(48, previewSize.cx);
  EXPECT_EQ(64, previewSize.cy);
  EXPECT_EQ(4, previewMarker.x);
  EXPECT_EQ(8, previewMarker.y);
  ASSERT_EQ(1, document.GetImages().GetCount());
  const ImageRecord record = document.GetImages().GetAt(0);
  IBitmapPtr draft = document.ReadImageBitmap(record.id, false);
  const SIZE draftSize = SizeOf(draft);
  EXPECT_EQ(48, draftSize.cx);
  EXPECT_EQ(64, draftSize.cy);
  const POINT draftMarker = FindColour(draft, Marker, 40);
  EXPECT_EQ(4, draftMarker.x);
  EXPECT_EQ(8, draftMarker.y);
  const ImageProcessing kept = record.GetImportProcessing();
  EXPECT_EQ(1, kept.quarterTurns);
  EXPECT_EQ(1, kept.flipB);
  EXPECT_EQ(1, kept.sharpen.on);
  EXPECT_EQ(5, kept.sharpen.kernel);
}

TEST_F(ImagesFromDiskDlgTest, ACurveChosenInTheSetUpLightensThePreviewAndTheStoredImageOnce) {
  testsupport::LutServerRegistered lutServer;
  ASSERT_EQ(S_OK, lutServer.Registered());
  // The settings' list lets go of its curves before the server goes.
  struct CurvesDropped {
    ~CurvesDropped() { ImageFromDiskSettings::Instance().lutList.Clear(); }
  } dropped;
  // A brightening curve: grey 128 becomes 186 once; applied twice it would give about 221.
  LUTRecord curve;
  curve.name = "Bright";
  curve.description = "Bright prints";
  ASSERT_EQ(S_OK, curve.GetObject()->put_GammaStyle(gsOver));
  ASSERT_EQ(S_OK, curve.GetObject()->put_Value(chAll, _bstr_t(L"Gamma"), _variant_t(2.2f)));
  ImageFromDiskSettings& settings = ImageFromDiskSettings::Instance();
  settings.lutList.Clear();
  settings.lutList.Add(curve);
  settings.reference = false;  // the job keeps a full bitmap of its own
  {
    DialogDriver driver("Images From Disk Setup", [](HWND setup) {
      ::SendDlgItemMessageA(setup, IDC_IMPORT_LUT, CB_SETCURSEL, 1, 0);
      ::SendMessageA(setup, WM_COMMAND, IDOK, 0);
      return true;
    });
    Command(IDC_IMPORT_SETUP);
    EXPECT_TRUE(testsupport::WaitFor([&] { return driver.Succeeded(); }));
  }
  ASSERT_EQ(CString("Bright"), settings.lutName);

  WriteImages({1});
  AddFolder();
  COLORREF previewGrey = CLR_INVALID;
  Command(IDC_IMPORT_START);
  ASSERT_TRUE(PumpUntil([&] {
    if (zvkImage::IBitmap* preview = dialog->GetPreview().GetBitmap();
        preview != nullptr && previewGrey == CLR_INVALID)
      previewGrey = PixelOf(preview, 0, 0);
    return !dialog->IsRunning() && !ItemText(IDC_IMPORT_RESULT).empty();
  }));
  ASSERT_EQ(1, document.GetImages().GetCount());
  const ImageRecord record = document.GetImages().GetAt(0);
  const COLORREF draftGrey = PixelOf(document.ReadImageBitmap(record.id, false), 0, 0);
  const COLORREF finalGrey = PixelOf(document.ReadImageBitmap(record.id, true), 0, 0);
  for (COLORREF grey : {previewGrey, draftGrey, finalGrey}) {
    EXPECT_NEAR(186, GetRValue(grey), 2);
    EXPECT_NEAR(186, GetBValue(grey), 2);
  }
  EXPECT_EQ(CString("Bright"), record.GetImportProcessing().lut.name);
}

TEST_F(ImagesFromDiskDlgTest, TheRecordedFileTextFollowsTheRecordingChoice) {
  struct Case {
    bool reference, keepPath;
    std::string text;
  };
  const Case cases[] = {
      {true, true, folder.File("IMG_1.bmp")}, {true, false, "IMG_1.bmp"}, {false, true, "IMG_1"}};
  WriteImages({1});
  for (const Case& c : cases) {
    ImageFromDiskSettings::Instance().reference = c.reference;
    ImageFromDiskSettings::Instance().keepPath = c.keepPath;
    AddFolder();
    ASSERT_TRUE(RunToEnd());
    const int count = document.GetImages().GetCount();
    ASSERT_GT(count, 0);
    EXPECT_EQ(CString(c.text.c_str()), document.GetImages().GetAt(count - 1).fileName) << c.text;
  }
  EXPECT_EQ(CString("IMG_1"), ImportFileText("C:\\a.b\\IMG_1.bmp", false, false));
  EXPECT_EQ(CString("x"), ImportFileText("D:x", true, false));
}

TEST_F(ImagesFromDiskDlgTest, AMissingFileAsksAndRetriesAFileThatIsNoImageTurnsRedWithoutAQuestion) {
  WriteImages({1, 3});
  WriteTextFile(folder.File("IMG_2.bmp"), "not a picture");
  AddFolder();
  ASSERT_EQ(3, dialog->GetRowCount());
  ::DeleteFileA(folder.File("IMG_3.bmp").c_str());
  // The question is answered Retry once the file is back.
  std::atomic<int> questions{0};
  std::string question;
  {
    DialogDriver driver(AfxGetAppName(), [&](HWND box) {
      ++questions;
      question = testsupport::WindowText(::GetDlgItem(box, 0xFFFF));
      WriteImages({3});
      ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDRETRY, BN_CLICKED), 0);
      return true;
    });
    Command(IDC_IMPORT_START);
    ASSERT_TRUE(PumpUntil([&] { return !dialog->IsRunning() && !ItemText(IDC_IMPORT_RESULT).empty(); }));
  }
  EXPECT_EQ(1, questions);
  EXPECT_EQ("Unable to read file " + folder.File("IMG_3.bmp"), question);
  EXPECT_EQ("Finished, 2 imported", ItemText(IDC_IMPORT_RESULT));
  ASSERT_EQ(1, dialog->GetRowCount());
  EXPECT_EQ(folder.File("IMG_2.bmp"), RowPaths()[0]);
  EXPECT_FALSE(dialog->IsRowTicked(0));
  EXPECT_EQ(RGB(255, 64, 64), dialog->GetRowTextColour(0));
  EXPECT_EQ(RGB(255, 255, 255), dialog->GetRowBackColour(0));

  // Missing and ignored: red and unticked too.
  Command(IDC_IMPORT_EMPTY_LIST);
  dialog->AddFiles({{"gone.bmp", "", 0}}, folder.Path().c_str());
  CScriptedPrompt ignore;
  ignore.Answer(IDIGNORE);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ("Finished, 0 imported", ItemText(IDC_IMPORT_RESULT));
  ASSERT_EQ(1, dialog->GetRowCount());
  EXPECT_FALSE(dialog->IsRowTicked(0));
  EXPECT_EQ(RGB(255, 64, 64), dialog->GetRowTextColour(0));
}

TEST_F(ImagesFromDiskDlgTest, InAnIndexedJobAFileWithoutANumberAsksOkSkipsCancelStops) {
  document.SetIndexed(true);
  WriteImages({4});
  IBitmapPtr bitmap = MakeMarkedBitmap(32, 32, Grey, 1, 1, Marker);
  SaveBitmap(bitmap, folder.File("cover.bmp"), 6);
  AddFolder();  // cover.bmp (0) first, then IMG_4.bmp
  CScriptedPrompt prompts;
  prompts.Answer(IDOK);
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(1u, prompts.GetShown().size());
  EXPECT_EQ(static_cast<UINT>(IDS_INVALID_IMAGE_NUMBER), prompts.GetShown()[0].stringId);
  EXPECT_EQ("Finished, 1 imported", ItemText(IDC_IMPORT_RESULT));
  ASSERT_EQ(1, document.GetImages().GetCount());
  EXPECT_EQ(4, document.GetImages().GetAt(0).number);

  EventRecorder events(document);
  AddFolder();
  dialog->ShowWindow(SW_SHOW);
  CScriptedPrompt cancel;
  cancel.Answer(IDCANCEL);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ("Stopped, 0 imported", ItemText(IDC_IMPORT_RESULT));
  EXPECT_TRUE(::IsWindowVisible(Dialog()));
  EXPECT_EQ(std::vector<bool>{false}, events.stopFinished);
}

TEST_F(ImagesFromDiskDlgTest, APausedRunShowsTheNextImageAndAddsItOnlyOnResume) {
  WriteImages({1, 2, 3});
  AddFolder();
  GetImagesImportSettings().ImportActive = false;
  Command(IDC_IMPORT_START);
  ASSERT_TRUE(PumpUntil([&] { return dialog->GetPreview().GetBitmap() != nullptr; }));
  PumpFor(200);
  EXPECT_EQ(2, dialog->GetRowCount());  // its row left the list
  EXPECT_EQ(0, document.GetImages().GetCount());
  EXPECT_TRUE(dialog->IsRunning());

  // Resumed from the dialog's own check: the waiting image goes in, and the run goes on.
  ::CheckDlgButton(Dialog(), IDC_IMPORT_PAUSE, BST_UNCHECKED);
  Command(IDC_IMPORT_PAUSE);
  EXPECT_TRUE(GetImagesImportSettings().ImportActive);
  ASSERT_TRUE(PumpUntil([&] { return !dialog->IsRunning() && !ItemText(IDC_IMPORT_RESULT).empty(); }));
  EXPECT_EQ(3, document.GetImages().GetCount());
  EXPECT_EQ("Finished, 3 imported", ItemText(IDC_IMPORT_RESULT));
}

TEST_F(ImagesFromDiskDlgTest, StopWhilePausedDropsTheWaitingImageAndSaysHowManyWentIn) {
  WriteImages({1, 2, 3});
  AddFolder();
  dialog->SetRowTicked(0, true);
  Command(IDC_IMPORT_START);
  ASSERT_TRUE(PumpUntil([&] { return document.GetImages().GetCount() >= 1; }));
  ::CheckDlgButton(Dialog(), IDC_IMPORT_PAUSE, BST_CHECKED);
  Command(IDC_IMPORT_PAUSE);
  const int before = document.GetImages().GetCount();
  PumpFor(300);
  EventRecorder events(document);
  Command(IDC_IMPORT_STOP);
  ASSERT_TRUE(PumpUntil([&] { return !dialog->IsRunning() && !ItemText(IDC_IMPORT_RESULT).empty(); }));
  EXPECT_EQ(before, document.GetImages().GetCount());
  EXPECT_EQ("Stopped, " + std::to_string(before) + " imported", ItemText(IDC_IMPORT_RESULT));
  EXPECT_EQ(std::vector<bool>{false}, events.stopFinished);
  // Resuming later adds nothing more.
  GetImagesImportSettings().ImportActive = true;
  ImageImportGoEvent go(false);
  document.FireEvent(go);
  PumpFor(100);
  EXPECT_EQ(before, document.GetImages().GetCount());
}

TEST_F(ImagesFromDiskDlgTest, ClosingTheJobOrTheDialogEndsARunCleanly) {
  WriteImages({1, 2});
  AddFolder();
  GetImagesImportSettings().ImportActive = false;
  Command(IDC_IMPORT_START);
  ASSERT_TRUE(PumpUntil([&] { return dialog->GetPreview().GetBitmap() != nullptr; }));
  dialog.reset();  // waits for the worker
  EXPECT_EQ(0, document.GetImages().GetCount());
}

}  // namespace
