// The export settings, the set-up dialog and the export run: real dialogs from the program's resources,
// run modally on the test thread and driven from a second thread; the run's questions are answered by the
// test's prompt script. The run works on a job of the test's own.
#include "ShellTestSupport.h"

#include "DialogDriver.h"
#include "ImageTestSupport.h"
#include "WindowShot.h"

#include "ControlClasses.h"
#include "EventSink.h"
#include "ExportFileName.h"
#include "ImageExportSettings.h"
#include "ImageViewEvents.h"
#include "ImagesExportDlg.h"
#include "ImagesExportSetupDlg.h"
#include "MyException.h"
#include "TheDocument.h"
#include "resource.h"

#include "classlib/ScriptedPrompt.h"

#include <map>
#include <string>
#include <vector>

using testsupport::DialogDriver;
using testsupport::SaveWindowShot;
using testsupport::WaitFor;
using testsupport::WindowText;

namespace {

std::string ItemText(HWND dialog, int id) { return WindowText(::GetDlgItem(dialog, id)); }
void SetItemText(HWND dialog, int id, const char* text) {
  ::SendMessageA(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
void Click(HWND dialog, int id) { ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
bool Checked(HWND dialog, int id) {
  return ::SendMessageA(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }
int ComboSelection(HWND dialog, int id) {
  return int(::SendMessageA(::GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0));
}
std::string ComboText(HWND dialog, int id) {
  const int item = ComboSelection(dialog, id);
  char text[256] = {};
  ::SendMessageA(::GetDlgItem(dialog, id), CB_GETLBTEXT, WPARAM(item), reinterpret_cast<LPARAM>(text));
  return text;
}

bool FileExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A job of the test's own: numbered images with a bitmap each.
class TestJob : public ExportJob {
 public:
  struct Image {
    int32_t number = 0;
    bool off = false;
    bool empty = false;
    bool linked = false;
    CString file;
    CropScale crop;
    COLORREF colour = RGB(200, 40, 40);
    int missingTimes = 0;  // renders that fail as a missing linked file before it is back
  };
  EventSource ownEvents;
  EventSource* events = &ownEvents;  // a test may hand its own source (to outlive the job)
  std::vector<std::pair<CString, Image>> images;
  int renders = 0;
  std::function<void(const char* id, int render)> onRender;  // runs before each render, on the run's thread

  Image& Add(const char* id, int32_t number) {
    images.push_back({id, Image()});
    images.back().second.number = number;
    return images.back().second;
  }
  Image& Find(const char* id) {
    for (auto& entry : images)
      if (entry.first == id) return entry.second;
    throw std::out_of_range(id);
  }

  EventSource* Events() override { return events; }
  SharedStringList GetImageIds() override {
    SharedStringList ids;
    for (auto& entry : images) ids.Append(entry.first);
    return ids;
  }
  bool IsImageEmpty(const char* id) override { return Find(id).empty; }
  bool IsImageOff(const char* id) override { return Find(id).off; }
  int32_t GetImageNumber(const char* id) override { return Find(id).number; }
  bool IsImageLinked(const char* id) override { return Find(id).linked; }
  CString GetImageFileName(const char* id) override { return Find(id).file; }
  CropScale GetImageCropScale(const char* id) override { return Find(id).crop; }
  IBitmapPtr GetImageMask(const char*) override { return nullptr; }
  IBitmapPtr GetImageBackground(const char*) override { return nullptr; }
  IBitmapPtr GetDisplayBitmap(const char* id) override { return Bitmap(Find(id), 40, 30); }
  IBitmapPtr RenderImage(const char* id) override {
    Image& image = Find(id);
    ++renders;
    if (onRender) onRender(id, renders);
    if (image.missingTimes > 0) {
      --image.missingTimes;
      throw CMyException(E_CANNOT_FIND_IMAGE_FILE, "missing");
    }
    return Bitmap(image, 80, 60);
  }

 private:
  static IBitmapPtr Bitmap(const Image& image, int w, int h) {
    auto made = imagetest::MakeFlat(w, h, image.colour);
    return IBitmapPtr(made.p);
  }
};

// Answers the selection request as the image view would.
class SelectionAnswer : public EventSink {
 public:
  std::vector<CString> ids;
  int OnEvent(EventSource*, Event* event) override {
    if (auto* request = dynamic_cast<ImageSelectionRequestEvent*>(event)) {
      request->answered = true;
      if (ids.size() == 1) {
        request->kind = ImageSelectionRequestEvent::One;
        request->id = ids[0];
      } else if (ids.size() > 1) {
        request->kind = ImageSelectionRequestEvent::Several;
        for (const CString& id : ids) request->ids.Append(id);
      }
    }
    return 0;
  }
};

class ExportDialogsTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ControlClasses::RegisterAll();
    folder = scratch + "\\out";
    settings().Path = folder.c_str();
    settings().FilenamePre = "img";
    settings().FilenameWidth = 3;
    settings().FilenameExt = "jpg";
  }
  void TearDown() override {
    for (const std::string& name : Written()) ::DeleteFileA((folder + "\\" + name).c_str());
    ::RemoveDirectoryA(folder.c_str());
    ShellTest::TearDown();
  }
  static ImageExportSettings& settings() { return ImageExportSettings::Instance(); }

  std::vector<std::string> Written() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(found.cFileName);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
  }

  // Opens the export dialog on the job, lets `before` look at it, starts a run (unless told not to),
  // waits for its result text and closes the dialog. The result text, or what `before` left there.
  std::string RunExport(TestJob* job, const std::function<void(HWND)>& before = nullptr, bool start = true,
                        const char* shot = nullptr) {
    std::string resultText;
    CImagesExportDlg dialog{std::unique_ptr<ExportJob>(job)};
    DialogDriver driver("Export images", [&](HWND hDlg) {
      if (before) before(hDlg);
      if (start) {
        testsupport::ClickButton(hDlg, IDC_EXPORT_START);
        EXPECT_TRUE(WaitFor([&] { return !ItemText(hDlg, IDC_EXPORT_RESULT).empty(); }, 20000));
        resultText = ItemText(hDlg, IDC_EXPORT_RESULT);
        EXPECT_TRUE(WaitFor([&] { return Enabled(hDlg, IDC_EXPORT_START); }));
      }
      if (shot) SaveWindowShot(hDlg, shot);
      testsupport::ClickButton(hDlg, IDCANCEL);
      return true;
    });
    dialog.DoModal();
    return resultText;
  }

  std::string folder;
};

TEST(ExportFileNames, NumberedOriginalAndWithoutExtension) {
  ExportNaming numbered;
  numbered.prefix = "img";
  numbered.width = 3;
  numbered.extension = "jpg";
  ExportNaming original = numbered;
  original.originalFilename = true;
  original.postfix = "_x";
  ExportNaming bare = numbered;
  bare.extension = "";
  struct Case {
    const ExportNaming& naming;
    int32_t number;
    bool linked;
    const char* file;
    const char* want;
  } cases[] = {
      {numbered, 7, false, "", "img007.jpg"},
      {numbered, 1234, false, "", "img1234.jpg"},
      {numbered, 7, true, "C:\\shoot\\a.tif", "img007.jpg"},
      {original, 3, true, "C:\\shoot\\DSC_0042.NEF.tif", "imgDSC_0042.NEF_x.jpg"},
      {original, 12, false, "", "img[12]_x.jpg"},
      {bare, 5, false, "", "img005"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(c.want, MakeExportFileName(c.naming, c.number, c.linked, c.file)) << c.want;
  ExportNamesWritten run;
  EXPECT_STREQ("a.jpg", run.Claim("a.jpg"));
  EXPECT_STREQ("A (2).jpg", run.Claim("A.jpg"));
  EXPECT_STREQ("a (3).jpg", run.Claim("a.jpg"));
  EXPECT_STREQ("b", run.Claim("b"));
  EXPECT_STREQ("b (2)", run.Claim("b"));
}

TEST_F(ExportDialogsTest, SettingsLoadTheirDefaultsCorrectTypeAndBitsAndRoundTrip) {
  ImageExportSettings& s = settings();
  s = ImageExportSettings();
  s.Load();
  EXPECT_STREQ("", s.Path);
  EXPECT_EQ(0, s.OriginalFilename);
  EXPECT_EQ(1, s.FilenameWidth);
  EXPECT_STREQ("jpg", s.FilenameExt);
  EXPECT_EQ(10, s.Type);
  EXPECT_EQ(24, s.Bits);
  EXPECT_EQ(1, s.SameSize);
  EXPECT_EQ(100, s.SizeX);
  EXPECT_EQ(100, s.SizeY);
  EXPECT_EQ(75, s.DPI);
  EXPECT_STREQ("", s.LUT);
  EXPECT_EQ(0, s.Sharpen.on);
  EXPECT_EQ(3, s.Sharpen.kernel);
  EXPECT_EQ(50, s.Sharpen.strength);
  EXPECT_EQ(0, s.TransparencyUse);

  TestApp().WriteProfileInt("Image Export", "Type", 2);
  TestApp().WriteProfileInt("Image Export", "Bits", 16);
  TestApp().WriteProfileInt("Image Export", "SizeX", 0);  // stored values load as they are
  s.Load();
  EXPECT_EQ(10, s.Type);
  EXPECT_EQ(24, s.Bits);
  EXPECT_EQ(0, s.SizeX);

  s.Path = "D:\\out";
  s.OriginalFilename = 1;
  s.FilenamePre = "p";
  s.FilenameWidth = 4;
  s.FilenamePost = "q";
  s.FilenameExt = "";
  s.Type = 56;
  s.Bits = 8;
  s.SameSize = 0;
  s.SizeX = 300;
  s.SizeY = 400;
  s.DPI = 300;
  s.LUT = "warm";
  s.Sharpen = SharpenValues{1, 5, 70};
  s.DoSelected = 1;
  s.DoFiltered = 1;
  s.DoOff = 1;
  s.TransparencyUse = 1;
  s.TransparencyColor = 0x123456;
  s.Save();
  EXPECT_EQ(1u, TestApp().GetProfileInt("Image Export", "DoOff", 0));
  ImageExportSettings loaded;
  loaded.Load();
  EXPECT_STREQ("D:\\out", loaded.Path);
  EXPECT_EQ(1, loaded.OriginalFilename);
  EXPECT_STREQ("p", loaded.FilenamePre);
  EXPECT_EQ(4, loaded.FilenameWidth);
  EXPECT_STREQ("q", loaded.FilenamePost);
  EXPECT_STREQ("", loaded.FilenameExt);
  EXPECT_EQ(56, loaded.Type);
  EXPECT_EQ(8, loaded.Bits);
  EXPECT_EQ(0, loaded.SameSize);
  EXPECT_EQ(300, loaded.SizeX);
  EXPECT_EQ(400, loaded.SizeY);
  EXPECT_EQ(300, loaded.DPI);
  EXPECT_STREQ("warm", loaded.LUT);
  EXPECT_EQ(1, loaded.Sharpen.on);
  EXPECT_EQ(5, loaded.Sharpen.kernel);
  EXPECT_EQ(70, loaded.Sharpen.strength);
  EXPECT_EQ(1, loaded.DoSelected);
  EXPECT_EQ(1, loaded.DoFiltered);
  EXPECT_EQ(1, loaded.TransparencyUse);
  EXPECT_EQ(0x123456, loaded.TransparencyColor);
}

TEST_F(ExportDialogsTest, SetupShowsTheSettingsAndConfirmsWhatWasChanged) {
  ImageExportSettings& s = settings();
  s.Type = 75;
  s.Bits = 8;
  s.SameSize = 0;
  s.SizeX = 640;
  s.SizeY = 480;
  s.DPI = 150;
  s.LUT = "gone";  // names no record any more
  s.Sharpen = SharpenValues{1, 7, 80};
  s.TransparencyUse = 1;
  s.TransparencyColor = RGB(1, 2, 3);
  CImagesExportSetupDlg dialog(nullptr);
  DialogDriver driver("Images Export Setup", [&](HWND hDlg) {
    EXPECT_EQ("img003.jpg", ItemText(hDlg, IDC_EXPORT_EXAMPLE));
    EXPECT_TRUE(Checked(hDlg, IDC_EXPORT_FORMATTED));
    EXPECT_EQ("PNG (PNG)", ComboText(hDlg, IDC_EXPORT_FORMAT));
    EXPECT_TRUE(Checked(hDlg, IDC_EXPORT_8BIT));
    EXPECT_TRUE(Checked(hDlg, IDC_EXPORT_TO_SIZE));
    EXPECT_TRUE(Enabled(hDlg, IDC_EXPORT_SIZE_X));
    EXPECT_EQ("640", ItemText(hDlg, IDC_EXPORT_SIZE_X));
    EXPECT_EQ("150", ItemText(hDlg, IDC_EXPORT_DPI));
    EXPECT_EQ("[none]", ComboText(hDlg, IDC_EXPORT_LUT));
    EXPECT_TRUE(Checked(hDlg, IDC_EXPORT_SHARPEN));
    EXPECT_TRUE(Enabled(hDlg, IDC_EXPORT_STRENGTH));
    EXPECT_TRUE(Enabled(hDlg, IDC_EXPORT_TRANSPARENCY_COLOR));
    SaveWindowShot(hDlg, "images-export-setup");
    // Original names grey the number fields; the example follows every edit.
    Click(hDlg, IDC_EXPORT_ORIGINAL);
    EXPECT_FALSE(Enabled(hDlg, IDC_EXPORT_PREFIX));
    Click(hDlg, IDC_EXPORT_FORMATTED);
    SetItemText(hDlg, IDC_EXPORT_WIDTH, "12");
    SetItemText(hDlg, IDC_EXPORT_EXTENSION, "");
    EXPECT_EQ("img000000003.", ItemText(hDlg, IDC_EXPORT_EXAMPLE));
    ::SendMessageA(::GetDlgItem(hDlg, IDC_EXPORT_FORMAT), CB_SETCURSEL, 6, 0);
    Click(hDlg, IDC_EXPORT_24BIT);
    Click(hDlg, IDC_EXPORT_SAME_SIZE);
    EXPECT_FALSE(Enabled(hDlg, IDC_EXPORT_SIZE_X));
    Click(hDlg, IDC_EXPORT_SHARPEN);
    EXPECT_FALSE(Enabled(hDlg, IDC_EXPORT_KERNEL));
    Click(hDlg, IDC_EXPORT_TRANSPARENCY);
    EXPECT_FALSE(Enabled(hDlg, IDC_EXPORT_TRANSPARENCY_COLOR));
    testsupport::ClickButton(hDlg, IDOK);
    return true;
  });
  EXPECT_EQ(IDOK, dialog.DoModal());
  EXPECT_TRUE(driver.Succeeded());
  EXPECT_EQ(9, s.FilenameWidth);
  EXPECT_STREQ("", s.FilenameExt);
  EXPECT_EQ(56, s.Type);
  EXPECT_EQ(24, s.Bits);
  EXPECT_EQ(1, s.SameSize);
  EXPECT_EQ(640, s.SizeX);
  EXPECT_STREQ("", s.LUT) << "a stale name is confirmed as none";
  EXPECT_EQ(0, s.Sharpen.on);
  EXPECT_EQ(7, s.Sharpen.kernel);
  EXPECT_EQ(80, s.Sharpen.strength);
  EXPECT_EQ(0, s.TransparencyUse);
  EXPECT_EQ(int32_t(RGB(1, 2, 3)), s.TransparencyColor);
}

TEST_F(ExportDialogsTest, SetupStoresWidthZeroAsOneAndRefusesSizesOutOfRange) {
  CScriptedPrompt prompts;
  prompts.Answer(IDOK).Answer(IDOK);
  CImagesExportSetupDlg dialog(nullptr);
  DialogDriver driver("Images Export Setup", [&](HWND hDlg) {
    SetItemText(hDlg, IDC_EXPORT_WIDTH, "0");
    Click(hDlg, IDC_EXPORT_TO_SIZE);
    SetItemText(hDlg, IDC_EXPORT_SIZE_X, "20001");
    ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(::IsWindowVisible(hDlg)) << "a width beyond 20000 keeps the dialog open";
    SetItemText(hDlg, IDC_EXPORT_SIZE_X, "20000");
    SetItemText(hDlg, IDC_EXPORT_DPI, "0");
    ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(::IsWindowVisible(hDlg)) << "a resolution of 0 keeps the dialog open";
    SetItemText(hDlg, IDC_EXPORT_DPI, "300");
    testsupport::ClickButton(hDlg, IDOK);
    return true;
  });
  EXPECT_EQ(IDOK, dialog.DoModal());
  EXPECT_EQ(2u, prompts.GetShown().size());
  EXPECT_EQ(1, settings().FilenameWidth);
  EXPECT_EQ(0, settings().SameSize);
  EXPECT_EQ(20000, settings().SizeX);
  EXPECT_EQ(300, settings().DPI);
}

TEST_F(ExportDialogsTest, ARunWritesTheChosenImagesNamedAsSet) {
  auto* job = new TestJob;
  job->Add("a", 7);
  job->Add("b", 1234);
  job->Add("c", 8).off = true;
  job->Add("d", 9).empty = true;
  const std::string text = RunExport(job, nullptr, true, "images-export");
  EXPECT_EQ("Finished, 2 exported", text);
  EXPECT_EQ((std::vector<std::string>{"img007.jpg", "img1234.jpg"}), Written());
  // With "Include off" the switched-off image is written too; empty slots never are.
  auto* again = new TestJob;
  again->Add("c", 8).off = true;
  again->Add("d", 9).empty = true;
  EXPECT_EQ("Finished, 1 exported", RunExport(again, [](HWND hDlg) { Click(hDlg, IDC_EXPORT_INCLUDE_OFF); }));
  EXPECT_TRUE(FileExists(folder + "\\img008.jpg"));
  EXPECT_EQ(1, settings().DoOff) << "stored when the dialog's window went";
  EXPECT_STREQ(folder.c_str(), settings().Path);
}

TEST_F(ExportDialogsTest, AnEmptyChoiceWritesNothing) {
  auto* job = new TestJob;
  job->Add("a", 1).off = true;
  EXPECT_EQ("Finished, 0 exported", RunExport(job));
  EXPECT_TRUE(Written().empty());
}

TEST_F(ExportDialogsTest, SelectedIsOfferedOnlyWhenTheViewAnsweredASelection) {
  settings().DoSelected = 1;
  auto* job = new TestJob;
  job->Add("a", 1);
  job->Add("b", 2);
  RunExport(
      job,
      [](HWND hDlg) {
        EXPECT_TRUE(Checked(hDlg, IDC_EXPORT_ALL));
        EXPECT_FALSE(Enabled(hDlg, IDC_EXPORT_SELECTED));
        EXPECT_EQ("S&elected", ItemText(hDlg, IDC_EXPORT_SELECTED));
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hDlg, IDC_EXPORT_FILTERED)));
      },
      false);
  EXPECT_EQ(0, settings().DoSelected) << "the dialog stored the choice it closed with";
  settings().DoSelected = 1;
  EventSource viewEvents;
  SelectionAnswer view;
  view.ids = {"b"};
  viewEvents.Subscribe(&view);
  auto* selectedJob = new TestJob;
  selectedJob->Add("a", 1);
  selectedJob->Add("b", 2);
  selectedJob->events = &viewEvents;
  const std::string text = RunExport(selectedJob, [](HWND hDlg) {
    EXPECT_TRUE(Checked(hDlg, IDC_EXPORT_SELECTED));
    EXPECT_TRUE(Enabled(hDlg, IDC_EXPORT_SELECTED));
  });
  EXPECT_EQ("Finished, 1 exported", text);
  EXPECT_EQ((std::vector<std::string>{"img002.jpg"}), Written());
}

TEST_F(ExportDialogsTest, AMissingLinkedFileAsksAndRetryExportsItOnceItIsBack) {
  CScriptedPrompt prompts;
  prompts.Answer(IDRETRY);
  auto* job = new TestJob;
  TestJob::Image& image = job->Add("a", 4);
  image.linked = true;
  image.file = "C:\\shoot\\DSC_0004.tif";
  image.missingTimes = 1;
  EXPECT_EQ("Finished, 1 exported", RunExport(job));
  ASSERT_EQ(1u, prompts.GetShown().size());
  EXPECT_STREQ("Cannot find bitmap image file C:\\shoot\\DSC_0004.tif", prompts.GetShown()[0].text);
  EXPECT_TRUE(FileExists(folder + "\\img004.jpg"));
}

TEST_F(ExportDialogsTest, AFileWhereTheFolderShouldBeIsReportedAndNothingRuns) {
  CScriptedPrompt prompts;
  prompts.Answer(IDOK);
  const std::string blocker = scratch + "\\blocked";
  FILE* f = fopen(blocker.c_str(), "w");
  fclose(f);
  settings().Path = (blocker + "\\out").c_str();
  auto* second = new TestJob;
  second->Add("a", 1);
  CImagesExportDlg dialog{std::unique_ptr<ExportJob>(second)};
  DialogDriver driver("Export images", [&](HWND hDlg) {
    testsupport::ClickButton(hDlg, IDC_EXPORT_START);
    EXPECT_TRUE(WaitFor([&] { return prompts.GetShown().size() == 1; }));
    EXPECT_TRUE(WaitFor([&] { return Enabled(hDlg, IDC_EXPORT_START); }));
    testsupport::ClickButton(hDlg, IDCANCEL);
    return true;
  });
  dialog.DoModal();
  ASSERT_EQ(1u, prompts.GetShown().size());
  EXPECT_STREQ(("Unable to create directory " + blocker + "\\out").c_str(), prompts.GetShown()[0].text);
  EXPECT_EQ(0, second->renders);
}

TEST_F(ExportDialogsTest, AFailedWriteAsksAndTwoImagesNeverWriteOneFile) {
  CScriptedPrompt prompts;
  prompts.Answer(IDIGNORE);
  // A folder stands where the first image's file would go; the two others share a name.
  settings().OriginalFilename = 1;
  settings().FilenamePre = "";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  ::CreateDirectoryA((folder + "\\[1].jpg").c_str(), nullptr);
  auto* job = new TestJob;
  job->Add("a", 1);
  TestJob::Image& one = job->Add("b", 2);
  one.linked = true;
  one.file = "C:\\x\\same.tif";
  TestJob::Image& two = job->Add("c", 3);
  two.linked = true;
  two.file = "C:\\y\\same.tif";
  EXPECT_EQ("Finished, 2 exported", RunExport(job));
  ASSERT_EQ(1u, prompts.GetShown().size());
  EXPECT_STREQ(("Unable to write file " + folder + "\\[1].jpg").c_str(), prompts.GetShown()[0].text);
  EXPECT_EQ((std::vector<std::string>{"same (2).jpg", "same.jpg"}), Written());
  ::RemoveDirectoryA((folder + "\\[1].jpg").c_str());
}

TEST_F(ExportDialogsTest, ATargetHeldOpenAsksAndRetryWritesItOnceItIsFree) {
  CScriptedPrompt prompts;
  prompts.Answer(IDRETRY);
  ::CreateDirectoryA(folder.c_str(), nullptr);
  const std::string target = folder + "\\img001.jpg";
  HANDLE held = ::CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  auto* job = new TestJob;
  job->Add("a", 1);
  // The other program lets go while the operator answers.
  job->onRender = [&](const char*, int render) {
    if (render == 2) ::CloseHandle(held);
  };
  EXPECT_EQ("Finished, 1 exported", RunExport(job));
  ASSERT_EQ(1u, prompts.GetShown().size());
  EXPECT_STREQ(("Unable to write file " + target).c_str(), prompts.GetShown()[0].text);
  auto back = imagetest::NewBitmap();
  EXPECT_EQ(S_OK, back->Load(imagetest::Bstr(target), 24));
}

TEST_F(ExportDialogsTest, ALinkedImagesOwnFileIsNeverWrittenOver) {
  CScriptedPrompt prompts;
  prompts.Answer(IDIGNORE);
  settings().OriginalFilename = 1;
  settings().FilenamePre = "";
  settings().FilenameExt = "tif";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  const std::string own = folder + "\\shot.tif";
  FILE* f = fopen(own.c_str(), "wb");
  fputs("the photographer's original", f);
  fclose(f);
  auto* job = new TestJob;
  TestJob::Image& image = job->Add("a", 1);
  image.linked = true;
  image.file = own.c_str();
  EXPECT_EQ("Finished, 0 exported", RunExport(job));
  ASSERT_EQ(1u, prompts.GetShown().size());
  EXPECT_STREQ(("Unable to write file " + own).c_str(), prompts.GetShown()[0].text);
  char kept[64] = {};
  f = fopen(own.c_str(), "rb");
  fread(kept, 1, sizeof kept - 1, f);
  fclose(f);
  EXPECT_STREQ("the photographer's original", kept);
}

TEST_F(ExportDialogsTest, AQuitMetWhileARunPumpsStopsItAndIsPostedAgain) {
  auto* job = new TestJob;
  job->Add("a", 1);
  job->Add("b", 2);
  job->Add("c", 3);
  job->onRender = [](const char* id, int) {
    if (std::string(id) == "b") ::PostQuitMessage(7);
  };
  CImagesExportDlg dialog{std::unique_ptr<ExportJob>(job)};
  DialogDriver driver("Export images", [&](HWND hDlg) {
    testsupport::ClickButton(hDlg, IDC_EXPORT_START);
    return WaitFor([&] { return !::IsWindow(hDlg); }, 20000);
  });
  dialog.DoModal();
  EXPECT_TRUE(driver.Succeeded());
  MSG quit;
  ASSERT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
      << "the quit is left for the program";
  EXPECT_EQ(7, int(quit.wParam));
  EXPECT_EQ((std::vector<std::string>{"img001.jpg", "img002.jpg"}), Written());
}

TEST_F(ExportDialogsTest, AbortEndsTheRunAsStopped) {
  CScriptedPrompt prompts;
  prompts.Answer(IDABORT);
  auto* job = new TestJob;
  job->Add("a", 1);
  job->Add("b", 2).missingTimes = 1;
  job->Add("c", 3);
  EXPECT_EQ("Stopped, 1 exported", RunExport(job));
  EXPECT_EQ((std::vector<std::string>{"img001.jpg"}), Written());
}

TEST_F(ExportDialogsTest, SizesOutOfRangeStopARunBeforeItStarts) {
  CScriptedPrompt prompts;
  prompts.Answer(IDOK);
  settings().SameSize = 0;
  settings().SizeX = 0;
  auto* job = new TestJob;
  job->Add("a", 1);
  CImagesExportDlg dialog{std::unique_ptr<ExportJob>(job)};
  DialogDriver driver("Export images", [&](HWND hDlg) {
    testsupport::ClickButton(hDlg, IDC_EXPORT_START);
    EXPECT_TRUE(WaitFor([&] { return prompts.GetShown().size() == 1; }));
    testsupport::ClickButton(hDlg, IDCANCEL);
    return true;
  });
  dialog.DoModal();
  EXPECT_EQ(0, job->renders);
  EXPECT_TRUE(Written().empty());
}

}  // namespace

namespace {

TEST_F(ExportDialogsTest, TheDocumentsExportCommandRunsTheDialogOnItsJob) {
  CTheDocument document;
  std::string text;
  DialogDriver driver("Export images", [&](HWND hDlg) {
    testsupport::ClickButton(hDlg, IDC_EXPORT_START);
    EXPECT_TRUE(WaitFor([&] { return !ItemText(hDlg, IDC_EXPORT_RESULT).empty(); }));
    text = ItemText(hDlg, IDC_EXPORT_RESULT);
    EXPECT_TRUE(WaitFor([&] { return Enabled(hDlg, IDC_EXPORT_START); }));
    testsupport::ClickButton(hDlg, IDCANCEL);
    return true;
  });
  EXPECT_TRUE(document.OnCmdMsg(ID_EXPORT_IMAGES, CN_COMMAND, nullptr, nullptr));
  EXPECT_TRUE(driver.Succeeded());
  EXPECT_EQ("Finished, 0 exported", text);
}

}  // namespace
