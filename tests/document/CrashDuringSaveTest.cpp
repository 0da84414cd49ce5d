// A child process saves, saves under another name and compacts a job over and over and is killed at
// a random moment; the jobs on disk must always open intact and hold one complete saved state.
#include "DocumentTestSupport.h"

#include "MyException.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

using namespace doctest;

namespace {

constexpr const char* ChildVariable = "PELLORIN_CRASH_CHILD";

int ImagesForGeneration(int generation) { return generation % 7 + 1; }

// The generation's whole state: attribute text, images and an unknown section of some size.
void MakeGeneration(CTheDocument& document, int generation, std::mt19937& random) {
  CString text;
  text.Format("gen %d", generation);
  document.SetAttributeText(0, text);
  document.GetImages().Clear();
  for (int i = 1; i <= ImagesForGeneration(generation); ++i) {
    ImageRecord record;
    record.id = CObjectID::CreateNew();
    record.number = i;
    record.fileName = text;
    document.GetImages().Add(record);
  }
  std::vector<unsigned char> filler(std::uniform_int_distribution<size_t>(100000, 700000)(random),
                                    static_cast<unsigned char>(generation & 0xFF));
  memcpy(filler.data(), &generation, sizeof(generation));
  IStream* stream = nullptr;
  if (SUCCEEDED(document.GetStorage()->CreateStream(
          L"@Filler", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream))) {
    ULONG written = 0;
    stream->Write(filler.data(), static_cast<ULONG>(filler.size()), &written);
    stream->Release();
  }
  document.SetDirty();
}

// The generation a job on disk holds, checked for consistency; -1 when it is damaged.
int CheckJob(const std::string& path, std::string& problem) {
  int generation = -1;
  {
    CTheDocument document;
    try {
      if (!document.OpenJob(path.c_str(), true)) {
        problem = "refused";
        return -1;
      }
    } catch (const std::exception& e) {
      problem = e.what();
      return -1;
    }
    if (sscanf(document.GetAttributeText(0), "gen %d", &generation) != 1) {
      problem = "no generation text";
      return -1;
    }
    if (document.GetImages().GetCount() != ImagesForGeneration(generation)) {
      problem = "image count";
      return -1;
    }
  }
  std::vector<unsigned char> filler;
  if (!ReadCompoundStream(path, "@Filler", filler) || filler.size() < 100000) {
    problem = "filler missing";
    return -1;
  }
  int stored = 0;
  memcpy(&stored, filler.data(), sizeof(stored));
  if (stored != generation || filler.back() != static_cast<unsigned char>(generation & 0xFF)) {
    problem = "filler of another generation";
    return -1;
  }
  return generation;
}

}  // namespace

// Runs only as the child of the test below.
TEST(CrashChild, SaveUntilKilled) {
  char setting[MAX_PATH * 2] = {};
  if (GetEnvironmentVariableA(ChildVariable, setting, sizeof(setting)) == 0) GTEST_SKIP() << "child only";
  std::string folder = setting;
  const size_t bar = folder.find('|');
  const unsigned seed = static_cast<unsigned>(std::stoul(folder.substr(bar + 1)));
  folder = folder.substr(0, bar);
  const std::string paths[2] = {folder + "a.plj", folder + "b.plj"};
  ResetOptions(folder);
  std::mt19937 random(seed);

  CTheDocument document;
  ASSERT_TRUE(document.OpenJob(paths[0].c_str(), false));
  int generation = 0;
  int at = 0;
  DialogAnswers answers;
  for (int i = 0; i < 1000; ++i) answers.Answer(paths[(i + 1) % 2]);
  for (;;) {
    ++generation;
    MakeGeneration(document, generation, random);
    switch (generation % 4) {
      case 2:
        ASSERT_TRUE(document.SaveAs());
        at = 1 - at;
        break;
      case 3: {
        ASSERT_TRUE(document.Save());
        CString path = document.GetJobPath();
        ASSERT_TRUE(document.CloseAndCompact());
        ASSERT_TRUE(document.OpenJob(path, false));
        break;
      }
      default:
        ASSERT_TRUE(document.Save());
    }
  }
}

TEST(CrashDuringSaveTest, KilledSavesLeaveIntactJobs) {
  MainWindow();
  ScratchFolder folder("crash");
  ResetOptions(folder.Path());
  std::mt19937 random(7);
  for (const char* name : {"a.plj", "b.plj"}) {
    CTheDocument document;
    ASSERT_TRUE(document.NewJob());
    MakeGeneration(document, 0, random);
    DialogAnswers answers;
    answers.Answer(folder.File(name));
    ASSERT_TRUE(document.SaveAs());
  }

  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  int progressed = 0;
  const int trials = 24;
  for (int trial = 0; trial < trials; ++trial) {
    std::string setting = folder.Path() + "|" + std::to_string(1000 + trial);
    SetEnvironmentVariableA(ChildVariable, setting.c_str());
    std::string command = std::string("\"") + self + "\" --gtest_filter=CrashChild.* --gtest_brief=1";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &process);
    SetEnvironmentVariableA(ChildVariable, nullptr);
    ASSERT_TRUE(started);
    const DWORD delay = std::uniform_int_distribution<DWORD>(300, 2500)(random);
    const DWORD waited = WaitForSingleObject(process.hProcess, delay);
    if (waited == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 9);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 20000));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    for (const char* name : {"a.plj", "b.plj"}) {
      std::string problem;
      int generation = CheckJob(folder.File(name), problem);
      EXPECT_GE(generation, 0) << "trial " << trial << " " << name << ": " << problem;
      if (generation > 0) ++progressed;
    }
    // Whatever the kill left beside the jobs is only unfinished copies.
    for (const std::string& file : folder.Files())
      if (file != "a.plj" && file != "b.plj") DeleteFileA(folder.File(file.c_str()).c_str());
  }
  std::printf("crash trials: %d, jobs found past their first generation: %d\n", trials, progressed);
  // The children really saved (not all of them died before their first save).
  EXPECT_GT(progressed, trials / 2);
}
