// The background library with a 24-megapixel picture: AddBackground next to one SaveToStream of the picture
// into memory (the least an add must do to know the picture's key), and GetBackgroundBitmapFull from the job
// (cold) next to one LoadFromStream of the saved bytes from memory, then from the cache (warm). Each figure
// is the best of a few rounds, the peer measured in the same rounds.
#include "TheDocument.h"

#include "GeneratedPicture.h"
#include "JobFileOptions.h"
#include "MemoryStream.h"
#include "StreamWindow.h"

#include "classlib/ClassLib.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

class BenchApp : public CWinApp {
 public:
  BenchApp() : CWinApp("Pellorin Library Bench") {}
};

BenchApp app;

using Clock = std::chrono::steady_clock;
double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct StreamReference {
  MemoryStream* stream = MemoryStream::Create();
  ~StreamReference() { stream->Release(); }
};

void Goal(const char* name, double ours, double theirs, double factor) {
  std::printf("goal %-34s ours / peer %5.2f, at most %.1f: %s\n", name, ours / theirs, factor,
              ours <= theirs * factor ? "met" : "missed");
}

int Run() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  GetJobFileOptions().FilesPath = temp;
  CWnd window;
  window.CreateEx(0, nullptr, "Pellorin", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr);
  app.m_pMainWnd = &window;
  CTheDocument document;
  if (!document.NewJob()) return 1;

  const int rounds = 5;
  double add = 1e9, save = 1e9, cold = 1e9, load = 1e9, rawWrite = 1e9, rawRead = 1e9;
  size_t savedBytes = 0;
  for (int round = 0; round < rounds; ++round) {
    // A new picture each round, so that every add stores it.
    IBitmapPtr picture =
        MakeGeneratedPicture("librarybench", 6000, 4000, static_cast<unsigned>(round + 1), true);

    Clock::time_point start = Clock::now();
    {
      StreamReference memory;
      CheckBitmapCall(picture->SaveToStream(memory.stream, 0), picture);
      save = std::min(save, SecondsSince(start));
      savedBytes = memory.stream->GetBytes().size();

      // The floor that the job file sets: the same bytes written into a stream of the job and read back,
      // each in one call.
      const std::vector<uint8_t>& bytes = memory.stream->GetBytes();
      {
        IStorage* root = document.GetStorage();
        IStream* raw = nullptr;
        if (FAILED(
                root->CreateStream(L"raw", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &raw)))
          return 1;
        ULONG done = 0;
        start = Clock::now();
        raw->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &done);
        rawWrite = std::min(rawWrite, SecondsSince(start));
        LARGE_INTEGER origin{};
        raw->Seek(origin, STREAM_SEEK_SET, nullptr);
        std::vector<uint8_t> back(bytes.size());
        start = Clock::now();
        raw->Read(back.data(), static_cast<ULONG>(back.size()), &done);
        rawRead = std::min(rawRead, SecondsSince(start));
        raw->Release();
        root->DestroyElement(L"raw");
      }

      // Loaded through a window of the saved bytes' length, as the job hands a picture its item's bytes,
      // so that both loads see a stream that tells its length and take the same way through the decoder.
      start = Clock::now();
      LARGE_INTEGER zero{};
      memory.stream->Seek(zero, STREAM_SEEK_SET, nullptr);
      StreamWindow* window = StreamWindow::Create(memory.stream, bytes.size());
      IBitmapPtr loaded = CreateImageBitmap("librarybench", 2);
      const HRESULT loadedHr = loaded->LoadFromStream(window, 0);
      window->Release();
      CheckBitmapCall(loadedHr, loaded);
      load = std::min(load, SecondsSince(start));
    }

    start = Clock::now();
    const CString key = document.AddBackground(picture, "background.jpg");
    add = std::min(add, SecondsSince(start));

    document.GetBackgroundCache(true).Clear();
    start = Clock::now();
    IBitmapPtr full = document.GetBackgroundBitmapFull(key);
    cold = std::min(cold, SecondsSince(start));
    if (!full) {
      std::printf("librarybench: the background did not come back\n");
      return 1;
    }
  }

  // Warm: the same request answered from the full cache.
  const CString key = document.GetBackgrounds().GetEntries().begin()->first;
  document.GetBackgroundBitmapFull(key);
  const int asks = 2000;
  Clock::time_point start = Clock::now();
  for (int i = 0; i < asks; ++i) document.GetBackgroundBitmapFull(key);
  const double warm = SecondsSince(start) / asks;

  document.CloseJob();
  window.DestroyWindow();

  std::printf("librarybench: 6000 x 4000 picture, %.1f MB saved, best of %d rounds, seconds\n",
              savedBytes / 1048576.0, rounds);
  std::printf("AddBackground                 %8.3f s | SaveToStream into memory   %8.3f s  ratio %5.2f\n",
              add, save, add / save);
  std::printf("GetBackgroundBitmapFull cold  %8.3f s | LoadFromStream from memory %8.3f s  ratio %5.2f\n",
              cold, load, cold / load);
  std::printf(
      "the saved bytes into a stream of the job, one IStream::Write %8.3f s, one IStream::Read %8.3f s\n",
      rawWrite, rawRead);
  std::printf("GetBackgroundBitmapFull warm  %8.4f ms\n", warm * 1000.0);
  Goal("AddBackground", add, save, 2.0);
  Goal("GetBackgroundBitmapFull cold", cold, load, 1.2);
  std::printf("goal %-34s %.4f ms, under 1 ms: %s\n", "GetBackgroundBitmapFull warm", warm * 1000.0,
              warm < 0.001 ? "met" : "missed");
  return 0;
}

}  // namespace

int main() {
  CoInitialize(nullptr);
  int result = 1;
  try {
    result = Run();
  } catch (const std::exception& e) {
    std::printf("librarybench failed: %s\n", e.what());
  } catch (const _com_error& e) {
    std::printf("librarybench failed: 0x%08lX\n", static_cast<unsigned long>(e.Error()));
  }
  CoUninitialize();
  return result;
}
