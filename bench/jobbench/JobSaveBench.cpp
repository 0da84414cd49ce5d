// The cost of a plain Save after one change in a large job. A job of about 2 GB (the first argument
// sets the megabytes) is filled with generated pictures through the document, saved and opened again;
// one image record is changed and the job saved. The same run copies the job file with the system's
// plain file copy, and prints both times and their ratio (the goal: a tenth of the copy or less).
#include "TheDocument.h"

#include "GeneratedPicture.h"
#include "JobFileOptions.h"
#include "StoragePointers.h"

#include "classlib/ClassLib.h"
#include "classlib/FileDialogScript.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class BenchApp : public CWinApp {
 public:
  BenchApp() : CWinApp("Pellorin Job Bench") {}
};

BenchApp app;

using Clock = std::chrono::steady_clock;
double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

LONGLONG FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int Run(int megabytes) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder =
      std::string(temp) + "pellorin-jobbench-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string job = folder + "job.plj";
  const std::string copy = folder + "copy.plj";
  GetJobFileOptions().FilesPath = folder.c_str();

  CWnd window;
  window.CreateEx(0, nullptr, "Pellorin", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr);
  app.m_pMainWnd = &window;

  CTheDocument document;
  if (!document.NewJob()) return 1;
  const int pictureCount = 6;
  std::vector<IBitmapPtr> pictures;
  for (int i = 0; i < pictureCount; ++i)
    pictures.push_back(MakeGeneratedPicture("jobbench", 4000, 3000, static_cast<unsigned>(i + 1), true));

  // Images until the job holds the wanted size.
  const Clock::time_point filling = Clock::now();
  const LONGLONG wanted = static_cast<LONGLONG>(megabytes) * 1024 * 1024;
  LONGLONG stored = 0;
  int images = 0;
  while (stored < wanted) {
    const CString id = CObjectID::CreateNew();
    document.WriteImageBitmaps(id, false, ImageProcessing(), pictures[images % pictureCount]);
    CString name;
    name.Format("picture%04d.jpg", images + 1);
    document.InsertImageAt(-1, id, name, false, nullptr);
    ++images;
    // The stored size of one image, taken from the first one's streams.
    static LONGLONG perImage = 0;
    if (perImage == 0) {
      IStoragePtr section(document.OpenImagesStorage(), false);
      IStoragePtr image(document.OpenChildStorage(section, "-" + id, false), false);
      for (const char* stream : {"@Bitmap-Final", "@Bitmap-Draft"}) {
        IStreamPtr held(document.OpenChildStream(image, stream, false), false);
        STATSTG stat = {};
        held->Stat(&stat, STATFLAG_NONAME);
        perImage += static_cast<LONGLONG>(stat.cbSize.QuadPart);
      }
    }
    stored += perImage;
  }
  const double fillSeconds = SecondsSince(filling);

  {
    CFileDialogScript answers;
    answers.Answer(job.c_str());
    const Clock::time_point start = Clock::now();
    if (!document.SaveAs()) return 1;
    std::printf("job of %d images, %.0f MB, written in %.1f s and saved as a new file in %.1f s\n", images,
                static_cast<double>(FileSize(job)) / 1048576.0, fillSeconds, SecondsSince(start));
  }
  if (!document.CloseJob() || !document.OpenJob(job.c_str(), false)) return 1;

  // One record changed, then a plain Save.
  const CString changed = document.GetImageIdByNumber(images / 2);
  document.RotateImage(changed, 15);
  Clock::time_point start = Clock::now();
  if (!document.Save()) return 1;
  const double saveSeconds = SecondsSince(start);

  // One image turned (both its bitmaps rewritten), then a plain Save.
  document.RotateImageLeft90(document.GetImageIdByNumber(1));
  start = Clock::now();
  if (!document.Save()) return 1;
  const double turnSaveSeconds = SecondsSince(start);
  document.CloseJob();

  start = Clock::now();
  if (!CopyFileA(job.c_str(), copy.c_str(), FALSE)) return 1;
  const double copySeconds = SecondsSince(start);

  std::printf("plain file copy of the job:           %8.3f s\n", copySeconds);
  std::printf("Save after one record changed:        %8.3f s  (%.4f of the copy; goal 0.1 or less)\n",
              saveSeconds, saveSeconds / copySeconds);
  std::printf("Save after one image turned:          %8.3f s  (%.4f of the copy)\n", turnSaveSeconds,
              turnSaveSeconds / copySeconds);

  DeleteFileA(copy.c_str());
  DeleteFileA(job.c_str());
  RemoveDirectoryA(folder.c_str());
  window.DestroyWindow();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CoInitialize(nullptr);
  int result = 1;
  try {
    result = Run(argc > 1 ? std::atoi(argv[1]) : 2048);
  } catch (const std::exception& e) {
    std::printf("jobbench failed: %s\n", e.what());
  }
  CoUninitialize();
  return result;
}
