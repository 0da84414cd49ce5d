// The job file's life through the document: new, save, save as, open, close, compact, the events
// of each and the window title.
#include "DocumentTestSupport.h"

#include "DocumentEvents.h"
#include "JobFileOptions.h"
#include "MyException.h"

#include "resource.h"

#include <gtest/gtest.h>

using namespace doctest;

namespace {

using Names = std::vector<std::string>;

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

int CountFiles(const ScratchFolder& folder, const char* prefix) {
  int count = 0;
  for (const std::string& name : folder.Files())
    if (StartsWith(name, prefix)) ++count;
  return count;
}

ImageRecord MakeImage(int number) {
  ImageRecord record;
  record.id = CObjectID::CreateNew();
  record.number = number;
  record.fileName.Format("IMG_%04d.JPG", number);
  return record;
}

class JobFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainWindow();
    ResetOptions(folder.Path());
  }
  void TearDown() override { ResetOptions(""); }
  ScratchFolder folder{"job"};
};

}  // namespace

TEST_F(JobFileTest, NewJobLivesInATemporaryFileUntilSavedAndClosing) {
  CTheDocument document;
  EventRecorder events(document);
  ASSERT_TRUE(document.NewJob());
  EXPECT_TRUE(document.IsOpen());
  EXPECT_FALSE(document.IsDirty());
  EXPECT_TRUE(document.GetJobPath().IsEmpty());
  EXPECT_EQ(1, CountFiles(folder, "~qm"));
  EXPECT_STREQ(Text(IDS_UNTITLED), document.GetDisplayName());
  EXPECT_EQ(1, document.GetOpenCounter());
  EXPECT_TRUE(document.GetFirstSave().IsEmpty());
  EXPECT_EQ((Names{Name<FileNewEvent>(), Name<QueuesSelectedEvent>()}), events.names);

  events.names.clear();
  ASSERT_TRUE(document.CloseJob());
  EXPECT_FALSE(document.IsOpen());
  EXPECT_EQ(0, CountFiles(folder, "~qm"));
  EXPECT_EQ((Names{Name<FileFreezeEvent>(), Name<FileClosingEvent>(), Name<FileCloseEvent>(),
                   Name<FileUnfreezeEvent>()}),
            events.names);
  EXPECT_TRUE(document.GetDisplayName().IsEmpty());
}

TEST_F(JobFileTest, WithNoJobFolderYetANewJobGoesToTheTemporaryFolderNotTheCurrentOne) {
  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
  ResetOptions("");
  {
    CTheDocument document;
    ASSERT_TRUE(document.NewJob());
    EXPECT_EQ(0, CountFiles(folder, "~qm"));
    EXPECT_TRUE(document.CloseJob());
  }
  SetCurrentDirectoryA(previous);
}

TEST_F(JobFileTest, NewCommandTitlesTheMainWindow) {
  CTheDocument document;
  document.OnFileNew();
  EXPECT_STREQ(Text(IDS_PELLORIN) + " - " + Text(IDS_UNTITLED), MainWindowTitle());
  document.OnFileClose();
  EXPECT_STREQ(Text(IDS_PELLORIN), MainWindowTitle());
}

TEST_F(JobFileTest, SaveOfAnUnnamedJobAsksForANameAndMovesTheJobThere) {
  const std::string path = folder.File("first.plj");
  CTheDocument document;
  ASSERT_TRUE(document.NewJob());
  document.GetImages().Add(MakeImage(1));
  document.GetImages().Add(MakeImage(2));
  document.SetAttributeText(1, "templates");
  document.SetDirty();

  EventRecorder events(document);
  DialogAnswers answers;
  answers.Answer(folder.File("first"));  // no extension: ".plj" is added
  ASSERT_TRUE(document.Save());
  auto requests = answers.Requests();
  ASSERT_EQ(1u, requests.size());
  EXPECT_FALSE(requests[0].bOpen);
  EXPECT_EQ(0x280Eu, requests[0].flags & 0xFFFFu & ~static_cast<DWORD>(OFN_ENABLEHOOK));
  EXPECT_STREQ(Text(IDS_NEW_FILE), requests[0].title);
  EXPECT_STREQ(folder.Path().c_str(), requests[0].initialDir);
  EXPECT_STREQ("Pellorin Job Files  (*.plj)|*.plj|All Files (*.*)|*.*|", requests[0].filter);
  EXPECT_STREQ(path.c_str(), document.GetJobPath());
  EXPECT_STREQ(folder.Path().c_str(), GetJobFileOptions().FilesPath);
  EXPECT_FALSE(document.IsDirty());
  EXPECT_EQ((Names{Name<FileFreezeEvent>(), Name<FileSavingAsEvent>(), Name<FileSavedAsEvent>(),
                   Name<FileUnfreezeEvent>()}),
            events.names);
  // Only the saved job is left: no temporary file, nothing beside it.
  EXPECT_EQ((std::vector<std::string>{"first.plj"}), folder.Files());
  EXPECT_FALSE(document.GetFirstSave().IsEmpty());
  EXPECT_STREQ(Text(AFX_IDS_APP_TITLE), document.GetFirstSave().applicationTitle);
  EXPECT_EQ(document.GetFirstSave().saveTime, document.GetLastSave().saveTime);
  ASSERT_TRUE(document.CloseJob());

  CTheDocument reader;
  EventRecorder readEvents(reader);
  ASSERT_TRUE(reader.OpenJob(path.c_str(), false));
  EXPECT_EQ(2, reader.GetImages().GetCount());
  EXPECT_STREQ("templates", reader.GetTemplateFolder());
  EXPECT_EQ(document.GetJobId(), reader.GetJobId());
  EXPECT_EQ(2, reader.GetOpenCounter());
  EXPECT_EQ((Names{Name<FileOpenEvent>(), Name<QueuesSelectedEvent>(), Name<TemplateFolderEvent>()}),
            readEvents.names);
  EXPECT_STREQ("templates", readEvents.texts[2]);
}

TEST_F(JobFileTest, OpenCounterCountsOpensAndLaterSavesKeepTheFirstSave) {
  const std::string path = folder.File("count.plj");
  {
    CTheDocument document;
    ASSERT_TRUE(document.NewJob());
    DialogAnswers answers;
    answers.Answer(path);
    ASSERT_TRUE(document.SaveAs());
  }
  double firstTime = 0;
  for (int open = 1; open <= 3; ++open) {
    CTheDocument document;
    ASSERT_TRUE(document.OpenJob(path.c_str(), false));
    EXPECT_EQ(open + 1, document.GetOpenCounter());
    if (open == 1) firstTime = document.GetFirstSave().saveTime;
    EXPECT_EQ(firstTime, document.GetFirstSave().saveTime);
    Sleep(5);
    ASSERT_TRUE(document.Save());
    ASSERT_TRUE(document.CloseJob());
  }
  CTheDocument document;
  ASSERT_TRUE(document.OpenJob(path.c_str(), true));
  EXPECT_EQ(5, document.GetOpenCounter());
  EXPECT_EQ(firstTime, document.GetFirstSave().saveTime);
  EXPECT_GE(document.GetLastSave().saveTime, firstTime);
}

TEST_F(JobFileTest, SaveAsOntoAnExistingFileReplacesItWhole) {
  const std::string first = folder.File("a.plj");
  const std::string second = folder.File("b.plj");
  // b.plj is some other job with more images.
  {
    CTheDocument other;
    ASSERT_TRUE(other.NewJob());
    for (int i = 1; i <= 5; ++i) other.GetImages().Add(MakeImage(i));
    DialogAnswers answers;
    answers.Answer(second);
    ASSERT_TRUE(other.SaveAs());
  }
  CTheDocument document;
  ASSERT_TRUE(document.NewJob());
  document.GetImages().Add(MakeImage(7));
  DialogAnswers answers;
  answers.Answer(first).Answer(second);
  ASSERT_TRUE(document.SaveAs());
  ASSERT_TRUE(document.SaveAs());
  EXPECT_STREQ(second.c_str(), document.GetJobPath());
  ASSERT_TRUE(document.CloseJob());

  for (const std::string& path : {first, second}) {
    CTheDocument reader;
    ASSERT_TRUE(reader.OpenJob(path.c_str(), true));
    EXPECT_EQ(1, reader.GetImages().GetCount()) << path;
    EXPECT_EQ(7, reader.GetImages().GetAt(0).number);
  }
  EXPECT_EQ(2u, folder.Files().size());
  // New job files are compound files of version 4.
  EXPECT_EQ(JobFileVersion4, ReadCompoundFileVersion(second.c_str()));
}

TEST_F(JobFileTest, SaveAsOntoTheOwnPathInAnotherCaseIsAPlainSave) {
  const std::string path = folder.File("Case.plj");
  CTheDocument document;
  ASSERT_TRUE(document.NewJob());
  DialogAnswers answers;
  answers.Answer(path).Answer(folder.File("CASE.PLJ"));
  ASSERT_TRUE(document.SaveAs());
  EventRecorder events(document);
  ASSERT_TRUE(document.SaveAs());
  EXPECT_STREQ(folder.File("CASE.PLJ").c_str(), document.GetJobPath());
  EXPECT_EQ((Names{Name<FileFreezeEvent>(), Name<FileSavingEvent>(), Name<FileSavedEvent>(),
                   Name<FileUnfreezeEvent>()}),
            events.names);
}

TEST_F(JobFileTest, CancelledDialogChangesNothing) {
  CTheDocument document;
  ASSERT_TRUE(document.NewJob());
  document.SetDirty();
  EventRecorder events(document);
  DialogAnswers answers;  // no answer: cancelled
  EXPECT_FALSE(document.SaveAs());
  EXPECT_TRUE(document.IsDirty());
  EXPECT_TRUE(events.names.empty());
  EXPECT_EQ(1, CountFiles(folder, "~qm"));
}

TEST_F(JobFileTest, CloseAndCompactKeepsAnIntactJob) {
  const std::string path = folder.File("compact.plj");
  CTheDocument document;
  ASSERT_TRUE(document.NewJob());
  for (int i = 1; i <= 20; ++i) document.GetImages().Add(MakeImage(i));
  DialogAnswers answers;
  answers.Answer(path);
  ASSERT_TRUE(document.SaveAs());
  for (int i = 0; i < 5; ++i) {
    document.GetImages().RemoveAt(0);
    ASSERT_TRUE(document.Save());
  }
  EventRecorder events(document);
  ASSERT_TRUE(document.CloseAndCompact());
  EXPECT_FALSE(document.IsOpen());
  EXPECT_EQ((Names{Name<FileFreezeEvent>(), Name<FileClosingEvent>(), Name<FileCloseEvent>(),
                   Name<FileUnfreezeEvent>()}),
            events.names);
  EXPECT_EQ((std::vector<std::string>{"compact.plj"}), folder.Files());
  CTheDocument reader;
  ASSERT_TRUE(reader.OpenJob(path.c_str(), true));
  EXPECT_EQ(15, reader.GetImages().GetCount());
}

TEST_F(JobFileTest, CloseAndCompactOfAnUnnamedJobClosesItAndReports) {
  CTheDocument document;
  ASSERT_TRUE(document.NewJob());
  try {
    document.CloseAndCompact();
    FAIL() << "no error";
  } catch (const CMyException& e) {
    EXPECT_EQ(E_CANNOT_OPEN_FILE, e.code);
    EXPECT_NE(std::string::npos, std::string(e.what()).find("E_CANNOT_OPEN_FILE"));
  }
  EXPECT_FALSE(document.IsOpen());
  EXPECT_EQ(0, CountFiles(folder, "~qm"));
}

TEST_F(JobFileTest, NewFromFileMakesAnUnnamedCopyWithTheSameIdentifier) {
  const std::string source = folder.File("source.plj");
  GUID sourceId;
  {
    CTheDocument document;
    ASSERT_TRUE(document.NewJob());
    document.GetImages().Add(MakeImage(3));
    sourceId = document.GetJobId();
    DialogAnswers answers;
    answers.Answer(source);
    ASSERT_TRUE(document.SaveAs());
  }
  CTheDocument document;
  ASSERT_TRUE(document.NewJob());
  EventRecorder events(document);
  ASSERT_TRUE(document.NewJobFromFile(source.c_str()));
  EXPECT_TRUE(document.GetJobPath().IsEmpty());
  EXPECT_FALSE(document.GetTemporaryPath().IsEmpty());
  EXPECT_EQ(sourceId, document.GetJobId());
  EXPECT_EQ(1, document.GetImages().GetCount());
  EXPECT_EQ((Names{Name<FileFreezeEvent>(), Name<FileClosingEvent>(), Name<FileCloseEvent>(),
                   Name<FileUnfreezeEvent>(), Name<FileOpenEvent>(), Name<QueuesSelectedEvent>()}),
            events.names);
  EXPECT_STREQ(Text(IDS_UNTITLED), document.GetDisplayName());
  ASSERT_TRUE(document.CloseJob());
  EXPECT_EQ((std::vector<std::string>{"source.plj"}), folder.Files());
}

TEST_F(JobFileTest, BusyDocumentRefusesFileOperationsAndTheClose) {
  CTheDocument document;
  ASSERT_TRUE(document.NewJob());
  document.SetDirty();
  document.SetBusy(true);
  EventRecorder events(document);
  DialogAnswers answers;
  answers.Answer(folder.File("x.plj"));
  EXPECT_FALSE(document.NewJob());
  EXPECT_FALSE(document.OpenJob(folder.File("x.plj").c_str(), false));
  EXPECT_FALSE(document.Save());
  EXPECT_FALSE(document.SaveAs());
  EXPECT_FALSE(document.SaveModified());
  EXPECT_FALSE(document.CloseJob());
  EXPECT_FALSE(document.CloseAndCompact());
  GetJobFileOptions().FileOnNew = true;
  EXPECT_FALSE(document.CloseJob());
  EXPECT_TRUE(document.IsOpen());
  EXPECT_TRUE(answers.Requests().empty());
  EXPECT_TRUE(events.names.empty());
  document.SetBusy(false);
  GetJobFileOptions().FileOnNew = false;
}

TEST_F(JobFileTest, SaveQuestionAnswers) {
  struct Case {
    int answer;
    bool result;
    bool stillDirty;
  };
  const Case cases[] = {{IDNO, true, true}, {IDCANCEL, false, true}, {IDYES, true, false}};
  for (const Case& c : cases) {
    CTheDocument document;
    ASSERT_TRUE(document.NewJob());
    document.SetDirty();
    CScriptedPrompt prompt;
    prompt.FailWhenEmpty(true);
    prompt.Answer(c.answer);
    DialogAnswers answers;
    answers.Answer(folder.File("question.plj"));
    EventRecorder events(document);
    EXPECT_EQ(c.result, document.SaveModified()) << c.answer;
    auto shown = prompt.GetShown();
    ASSERT_EQ(1u, shown.size());
    EXPECT_STREQ(Text(IDS_SAVE_JOB_QUESTION), shown[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNOCANCEL), shown[0].flags & 0xF);
    EXPECT_EQ(c.stillDirty, document.IsDirty());
    EXPECT_EQ(Name<FileFreezeEvent>(), events.names.front());
    EXPECT_EQ(Name<FileUnfreezeEvent>(), events.names.back());
    document.CloseJob();
    DeleteFileA(folder.File("question.plj").c_str());
  }
}

TEST_F(JobFileTest, FileOnNewNamesTheJobAtOnceAndSavesOnClose) {
  GetJobFileOptions().FileOnNew = true;
  const std::string path = folder.File("named.plj");
  WriteWholeFile(path, {'u', 's', 'e', 'r'});  // an existing file the user chose to replace
  CTheDocument document;
  EventRecorder events(document);
  DialogAnswers answers;
  answers.Answer(path);
  ASSERT_TRUE(document.NewJob());
  EXPECT_STREQ(path.c_str(), document.GetJobPath());
  EXPECT_STREQ(path.c_str(), document.GetDisplayName());
  EXPECT_EQ((Names{Name<FileFreezeEvent>(), Name<FileSavingEvent>(), Name<FileSavedEvent>(),
                   Name<FileUnfreezeEvent>(), Name<FileNewEvent>(), Name<QueuesSelectedEvent>()}),
            events.names);
  EXPECT_EQ((std::vector<std::string>{"named.plj"}), folder.Files());
  EXPECT_EQ(JobFileVersion4, ReadCompoundFileVersion(path.c_str()));

  document.GetImages().Add(MakeImage(9));
  document.SetDirty();
  CScriptedPrompt prompt;
  prompt.FailWhenEmpty(true);
  document.OnFileClose();  // no question: the job is saved by the close
  EXPECT_TRUE(prompt.GetShown().empty());
  EXPECT_FALSE(document.IsOpen());
  GetJobFileOptions().FileOnNew = false;
  CTheDocument reader;
  ASSERT_TRUE(reader.OpenJob(path.c_str(), true));
  EXPECT_EQ(1, reader.GetImages().GetCount());
}

TEST_F(JobFileTest, ReadOnlyJobSavesUnderANewNameAndBecomesWritable) {
  const std::string path = folder.File("ro.plj");
  const std::string copy = folder.File("copy.plj");
  {
    CTheDocument document;
    ASSERT_TRUE(document.NewJob());
    DialogAnswers answers;
    answers.Answer(path);
    ASSERT_TRUE(document.SaveAs());
  }
  const std::vector<unsigned char> before = ReadWholeFile(path);
  CTheDocument document;
  ASSERT_TRUE(document.OpenJob(path.c_str(), true));
  EXPECT_TRUE(document.IsReadOnly());
  document.GetImages().Add(MakeImage(4));
  document.SetDirty();
  DialogAnswers answers;
  answers.Answer(copy);
  ASSERT_TRUE(document.Save());
  EXPECT_FALSE(document.IsReadOnly());
  EXPECT_STREQ(copy.c_str(), document.GetJobPath());
  // Writable now: a plain save works in the copy.
  document.GetImages().Add(MakeImage(5));
  ASSERT_TRUE(document.Save());
  ASSERT_TRUE(document.CloseJob());
  EXPECT_EQ(before, ReadWholeFile(path));
  CTheDocument reader;
  ASSERT_TRUE(reader.OpenJob(copy.c_str(), true));
  EXPECT_EQ(2, reader.GetImages().GetCount());
}

TEST_F(JobFileTest, AJobInUseIsReportedAsInUse) {
  const std::string path = folder.File("inuse.plj");
  CTheDocument holder;
  ASSERT_TRUE(holder.NewJob());
  DialogAnswers answers;
  answers.Answer(path);
  ASSERT_TRUE(holder.SaveAs());
  CTheDocument second;
  try {
    second.OpenJob(path.c_str(), false);
    FAIL() << "opened twice";
  } catch (const CMyException& e) {
    EXPECT_EQ(E_CANNOT_OPEN_FILE, e.code);
    EXPECT_STREQ(Text(IDS_FILE_IN_USE), e.what());
  }
  EXPECT_FALSE(second.IsOpen());
}

TEST_F(JobFileTest, OpenCommandOfTheOpenJobDoesNothing) {
  const std::string path = folder.File("same.plj");
  CTheDocument document;
  ASSERT_TRUE(document.NewJob());
  DialogAnswers answers;
  answers.Answer(path).Answer(folder.File("SAME.plj"));
  ASSERT_TRUE(document.SaveAs());
  MainWindow().SetWindowText("unchanged");
  EventRecorder events(document);
  document.OnFileOpen();
  EXPECT_STREQ("unchanged", MainWindowTitle());
  EXPECT_EQ((Names{Name<FileFreezeEvent>(), Name<FileUnfreezeEvent>()}), events.names);
}

TEST_F(JobFileTest, FailedOpenReportsThroughTheFrameAndSetsTheTitle) {
  const std::string path = folder.File("bad.plj");
  WriteWholeFile(path, std::vector<unsigned char>(2000, 'x'));
  CTheDocument document;
  DialogAnswers answers;
  answers.Answer(path);
  CScriptedPrompt prompt;
  prompt.FailWhenEmpty(true);
  MainWindow().SetWindowText("before");
  document.OnFileOpen();
  auto shown = prompt.GetShown();
  ASSERT_EQ(1u, shown.size());
  EXPECT_EQ(0, std::string(shown[0].text).find(std::string(Text(IDS_CANNOT_OPEN_FILE))));
  EXPECT_STREQ(Text(IDS_PELLORIN), MainWindowTitle());
  EXPECT_FALSE(document.IsOpen());
}
