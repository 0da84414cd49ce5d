// Writes a job with known content to the place that the independent reader check reads it from.
#include "DocumentTestSupport.h"

#include "JobFileOptions.h"

#include <gtest/gtest.h>

using namespace doctest;

TEST(OleReaderJob, WriteJobForTheIndependentReader) {
  char target[MAX_PATH * 2] = {};
  DWORD n = GetEnvironmentVariableA("PELLORIN_OLE_JOB", target, sizeof(target));
  if (n == 0 || n >= sizeof(target)) GTEST_SKIP() << "PELLORIN_OLE_JOB is not set";
  std::string path = target;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  DeleteFileA(path.c_str());

  MainWindow();
  ScratchFolder folder("olejob");
  ResetOptions(folder.Path());
  CTheDocument document;
  ASSERT_TRUE(document.NewJob());
  for (int i = 1; i <= 3; ++i) {
    ImageRecord record;
    record.id = CObjectID::CreateNew();
    record.number = i;
    document.GetImages().Add(record);
  }
  document.SetAttributeText(1, "template folder");
  DialogAnswers answers;
  answers.Answer(path);
  ASSERT_TRUE(document.SaveAs());
  // Opened once more and saved, so the stored counter is 2.
  ASSERT_TRUE(document.CloseJob());
  ASSERT_TRUE(document.OpenJob(path.c_str(), false));
  ASSERT_TRUE(document.Save());
  ASSERT_TRUE(document.CloseJob());
  ResetOptions("");

  // The job identifier goes beside the job for the reader to compare.
  char text[64] = {};
  const GUID& id = document.GetJobId();
  const unsigned char* b = reinterpret_cast<const unsigned char*>(&id);
  for (int i = 0; i < 16; ++i) wsprintfA(text + 2 * i, "%02x", b[i]);
  WriteWholeFile(path + ".id", std::vector<unsigned char>(text, text + 32));
}
