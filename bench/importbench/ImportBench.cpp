// The disk import's benchmark: 20 copies of the image benchmark's 24-megapixel JPEGs imported into a new
// job through the import dialog with a quarter turn, a tone curve and sharpening 5, timed from Start to
// the end of the run, next to our own decode of the same files and the outside tools' import pipelines
// (decode, turn, curve, draft, lossless copy) in the same run. A 50 ms timer on the user-interface
// thread shows how long the window goes without handling its messages.
#include "BenchInputs.h"
#include "BenchWindow.h"
#include "ControlClasses.h"
#include "ImageEvents.h"
#include "ImageFromDiskSettings.h"
#include "ImagesFromDiskDlg.h"
#include "ImagesImportSettings.h"
#include "JobFileOptions.h"
#include "LutServerRegistered.h"
#include "TheDocument.h"
#include "resource.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

constexpr int ImageCount = 20;

class BenchApp : public CWinApp {
 public:
  BenchApp() : CWinApp("Pellorin Import Bench") {}
};
BenchApp g_app;

class StopWatcher : public EventSink {
 public:
  int OnEvent(EventSource*, Event* event) override {
    if (dynamic_cast<ImageImportStopEvent*>(event) != nullptr) stopped = true;
    return 0;
  }
  bool stopped = false;
};

// The longest time between two ticks of a 50 ms timer.
Clock::time_point g_lastTick;
double g_longestGap = 0;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  const Clock::time_point now = Clock::now();
  g_longestGap = std::max(g_longestGap, std::chrono::duration<double>(now - g_lastTick).count());
  g_lastTick = now;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

double DecodeAll(const std::vector<std::string>& files) {
  const Clock::time_point start = Clock::now();
  for (const std::string& file : files) {
    IBitmapPtr bitmap = CreateImageBitmap("bench", 1);
    bitmap->Initialize(0);
    if (bitmap->Load(_bstr_t(file.c_str()), 24) != S_OK)
      printf("importbench: cannot decode %s\n", file.c_str());
  }
  return Since(start);
}

}  // namespace

int main() {
  OleInitialize(nullptr);
  ControlClasses::RegisterAll();
  const std::string data = benchinputs::DataFolder();
  const auto theirs = benchinputs::ReadReference(data);
  const std::string work = benchinputs::WorkFolder("pellorin-importbench");
  const std::vector<std::string> files = benchinputs::CopyInputs(data, work, ImageCount);
  if (files.empty()) return 1;

  // The tone curve is an object of zvkLUT.ocx, which the build puts beside the programs.
  testsupport::LutServerRegistered lutServer(testsupport::LutServerRegistered::ProgramFolder() + "..\\bin\\");
  if (lutServer.Registered() != S_OK) {
    printf("importbench: zvkLUT.ocx cannot be registered\n");
    return 1;
  }
  CWnd window;
  OpenBenchWindow(g_app, window, work);
  int rc = 0;
  {
    CTheDocument document;
    if (!document.NewJob()) {
      printf("importbench: no new job\n");
      return 1;
    }
    ImageFromDiskSettings& settings = ImageFromDiskSettings::Instance();
    settings.rotation = 1;
    settings.sharpen.on = 1;
    settings.sharpen.kernel = 5;
    settings.reference = false;
    // The outside tools' curve: 255 * (v / 255) ^ (1 / 1.2).
    LUTRecord curve;
    curve.name = "Bench";
    if (FAILED(curve.GetObject()->put_GammaStyle(gsOver)) ||
        FAILED(curve.GetObject()->put_Value(chAll, _bstr_t(L"Gamma"), _variant_t(1.2f)))) {
      printf("importbench: no tone curve\n");
      return 1;
    }
    settings.lutList.Add(curve);
    settings.lutName = curve.name;

    const double decode = DecodeAll(files);

    CImagesFromDiskDlg dialog(document, &window);
    std::vector<ImportCandidate> candidates;
    for (int i = 0; i < ImageCount; ++i)
      candidates.push_back({("IMG_" + std::to_string(i + 1) + ".jpg").c_str(), "", i + 1});
    dialog.AddFiles(candidates, work.c_str());
    StopWatcher watcher;
    document.Subscribe(&watcher);
    g_lastTick = Clock::now();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &Tick);
    const Clock::time_point start = Clock::now();
    SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_START, BN_CLICKED), 0);
    while (!watcher.stopped) {
      Pump();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    const double import = Since(start);
    KillTimer(nullptr, timer);
    document.Unsubscribe(&watcher);

    const double ours = import / ImageCount;
    const double decodeEach = decode / ImageCount;
    printf("importbench: %d images of 24 MP, a quarter turn, a tone curve and sharpening 5, %d placed\n",
           ImageCount, dialog.GetPlacedCount());
    printf("  import per image        %7.3f s\n", ours);
    printf("  our decode per image    %7.3f s   import / decode %5.2f (goal at most 1.3: %s)\n", decodeEach,
           ours / decodeEach, ours <= 1.3 * decodeEach ? "met" : "MISSED");
    for (const char* tool : {"im", "vips"}) {
      const auto found = theirs.find(std::string(tool) + " decode");
      if (found != theirs.end() && found->second.first > 0)
        printf("  %-4s decode per image   %7.3f s   import / %s decode %5.2f\n", tool, found->second.first,
               tool, ours / found->second.first);
    }
    for (const char* tool : {"im", "vips"}) {
      const auto found = theirs.find(std::string(tool) + " import");
      if (found == theirs.end() || found->second.first <= 0) continue;
      const double seconds = found->second.first;
      printf("  %-4s import per image   %7.3f s   import / %s import %5.2f%s\n", tool, seconds, tool,
             ours / seconds,
             std::string(tool) == "im"
                 ? (ours <= seconds ? " (goal at most 1: met)" : " (goal at most 1: MISSED)")
                 : "");
    }
    printf("  longest gap of a 50 ms timer %5.0f ms (goal under 250 ms: %s)\n", g_longestGap * 1000,
           g_longestGap < 0.25 ? "met" : "MISSED");
    if (dialog.GetPlacedCount() != ImageCount) rc = 1;
    settings.lutList.Clear();
  }
  for (const std::string& file : files) DeleteFileA(file.c_str());
  return rc;
}
