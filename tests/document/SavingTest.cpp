// The failures that a save or a load can meet: an unnamed job, a file that cannot be made, a refused
// load, and the storage lock that every write of the job holds.
#include "DocumentTestSupport.h"

#include "DocumentText.h"
#include "JobFileOptions.h"
#include "MyException.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace doctest;

namespace {

class SavingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainWindow();
    ResetOptions(folder.Path());
  }
  void TearDown() override { ResetOptions(""); }
  ScratchFolder folder{"saving"};
  CTheDocument document;
};

}  // namespace

TEST_F(SavingTest, AnUnnamedJobAsksForANameAlsoWithFileOnNew) {
  ASSERT_TRUE(document.NewJob());
  GetJobFileOptions().FileOnNew = true;
  ScratchFolder current("current");
  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(current.Path().c_str());
  {
    DialogAnswers cancelled;
    EXPECT_FALSE(document.Save());
    EXPECT_EQ(1u, cancelled.Requests().size());
  }
  SetCurrentDirectoryA(previous);
  EXPECT_TRUE(current.Files().empty());
  EXPECT_TRUE(document.GetJobPath().IsEmpty());

  DialogAnswers answers;
  answers.Answer(folder.File("named.plj"));
  ASSERT_TRUE(document.Save());
  EXPECT_STREQ(folder.File("named.plj").c_str(), document.GetJobPath());
  EXPECT_TRUE(FileExists(folder.File("named.plj")));
}

TEST_F(SavingTest, ASaveThatCannotCreateItsFileGivesTheSystemsReason) {
  ASSERT_TRUE(document.NewJob());
  DialogAnswers answers;
  answers.Answer(folder.File("missing\\job.plj"));
  try {
    document.SaveAs();
    ADD_FAILURE() << "saved into a missing folder";
  } catch (const CMyException& e) {
    const std::string text = e.what();
    const std::string head =
        std::string(Text(IDS_CANNOT_SAVE_FILE)) + " " + std::string(Text(IDS_ERROR)) + ": ";
    EXPECT_EQ(0u, text.rfind(head, 0)) << text;
    EXPECT_GT(text.size(), head.size()) << text;
    EXPECT_EQ(std::string::npos, text.find("Document")) << text;
  }
  EXPECT_TRUE(document.IsOpen());
  EXPECT_NE(nullptr, document.GetStorage());
}

TEST_F(SavingTest, AFailedLoadLeavesNoHeaderUsageOrAttributesOfTheUnopenedFile) {
  const std::string path = folder.File("newer.plj");
  ASSERT_TRUE(document.NewJob());
  document.SetIndexed(true);
  document.SetStoredBitmapSizeLimit(123456);
  document.SetDraftSize(4321);
  document.SetAttributeText(0, "unopened");
  ImageRecord record;
  record.id = CObjectID::CreateNew();
  record.number = 1;
  document.GetImages().Add(record);
  DialogAnswers answers;
  answers.Answer(path);
  ASSERT_TRUE(document.SaveAs());
  ASSERT_TRUE(document.CloseJob());
  // The image list, read after the header and the attributes, is of a newer version.
  {
    IStorage* root = nullptr;
    ASSERT_EQ(S_OK, StgOpenStorage(ToWideName(path.c_str()).c_str(), nullptr,
                                   STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &root));
    IStorage* images = nullptr;
    IStream* list = nullptr;
    ASSERT_EQ(S_OK, root->OpenStorage(L"@Images-Individual", nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                      nullptr, 0, &images));
    ASSERT_EQ(S_OK, images->OpenStream(L"@List", nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &list));
    const unsigned char newer[2] = {0x00, 0x02};
    list->Write(newer, 2, nullptr);
    list->Release();
    images->Release();
    root->Commit(STGC_DEFAULT);
    root->Release();
  }

  CTheDocument fresh;
  EXPECT_THROW(fresh.OpenJob(path.c_str(), false), CMyException);
  EXPECT_FALSE(fresh.IsIndexed());
  EXPECT_EQ(0, fresh.GetStoredBitmapSizeLimit());
  EXPECT_EQ(GetJobFileOptions().DefaultDraftSize, fresh.GetDraftSize());
  EXPECT_TRUE(fresh.GetAttributeText(0).IsEmpty());
  EXPECT_TRUE(fresh.GetFirstSave().IsEmpty());
  // The next new job starts from nothing of it.
  ASSERT_TRUE(fresh.NewJob());
  EXPECT_FALSE(fresh.IsIndexed());
  EXPECT_EQ(0, fresh.GetStoredBitmapSizeLimit());
  EXPECT_TRUE(fresh.GetAttributeText(0).IsEmpty());
}

TEST_F(SavingTest, WritingTheJobWaitsForTheStorageLock) {
  ASSERT_TRUE(document.NewJob());
  std::atomic<bool> written{false};
  document.GetImageStorageLock().Lock();
  std::thread writer([&] {
    CoInitialize(nullptr);
    document.WriteJob();
    written = true;
    CoUninitialize();
  });
  Sleep(200);
  EXPECT_FALSE(written.load());
  document.GetImageStorageLock().Unlock();
  writer.join();
  EXPECT_TRUE(written.load());
}
