// The export's benchmark: copies of the image benchmark's 24-megapixel JPEGs imported into a new job as
// linked images, each with a crop (x 0.1, zoom 0.8), a fine rotation of 2.5 degrees and red, contrast and
// saturation +10, then exported as the run does it: the job's render, the output render with a tone curve,
// sharpening 5 and "to size" 1800 x 2400 at 300 dpi, and the JPEG save. Timed per image next to ImageMagick
// and libvips doing the same to the same files in the same run. While an image goes from the job's render
// to the end of its save, a sampler watches the process's memory: what it holds beyond the working bitmap
// is printed in bitmaps of the working bitmap's size.
#include "BenchInputs.h"
#include "BenchWindow.h"
#include "ExportRender.h"
#include "ImagesExportDlg.h"
#include "JobFileOptions.h"
#include "TheDocument.h"

#include <psapi.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

constexpr int ImageCount = 6;

class BenchApp : public CWinApp {
 public:
  BenchApp() : CWinApp("Pellorin Export Bench") {}
};
BenchApp g_app;

PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters;
}

// The highest resident and private bytes of the process while it runs, polled every millisecond.
class MemorySampler {
 public:
  void Start() {
    residentPeak = privatePeak = 0;
    running = true;
    thread = std::thread([this] {
      while (running) {
        const PROCESS_MEMORY_COUNTERS m = Memory();
        residentPeak = std::max<size_t>(residentPeak, m.WorkingSetSize);
        privatePeak = std::max<size_t>(privatePeak, m.PagefileUsage);
        Sleep(1);
      }
    });
  }
  void Stop() {
    running = false;
    thread.join();
  }
  std::atomic<bool> running{false};
  std::atomic<size_t> residentPeak{0}, privatePeak{0};

 private:
  std::thread thread;
};

// A brightening curve, as the reference tools apply it (gamma 1.2), for every channel.
VARIANT Curve() {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_UI1;
  v.parray = SafeArrayCreateVector(VT_UI1, 0, 256);
  auto* entries = static_cast<BYTE*>(v.parray->pvData);
  for (int i = 0; i < 256; ++i) entries[i] = BYTE(255.0 * std::pow(i / 255.0, 1 / 1.2) + 0.5);
  return v;
}

// Imports the files into a new job, sets each image's corrections and exports them; prints the figures.
int ExportImages(const std::vector<std::string>& files,
                 const std::map<std::string, std::pair<double, double>>& theirs, const std::string& work) {
  CTheDocument document;
  if (!document.NewJob()) {
    printf("exportbench: no new job\n");
    return 1;
  }
  const Clock::time_point importStart = Clock::now();
  for (const std::string& file : files) {
    IBitmapPtr bitmap = CreateImageBitmap("bench", 1);
    if (bitmap->Load(_bstr_t(file.c_str()), 24) != S_OK ||
        !document.ImportImage(-1, bitmap, file.c_str(), true, nullptr)) {
      printf("exportbench: cannot import %s\n", file.c_str());
      return 1;
    }
  }
  const double import = Since(importStart) / ImageCount;
  CropScale crop;
  crop.posA = 0.1;
  crop.scale = 0.8;
  ColorCorrectValues values;
  values.red = 10;
  values.contrast = 10;
  values.saturation = 10;
  const SharedStringList ids = document.GetImageIds();
  for (int i = 0; i < ids.GetCount(); ++i) {
    document.SetImageCropScale(ids[i], crop);
    document.RotateImage(ids[i], 25);
    document.SetImageColorCorrection(ids[i], values);
  }
  VARIANT curve = Curve();
  ExportRenderOptions output;
  output.sameSize = false;
  output.width = 1800;
  output.height = 2400;
  output.dpi = 300;
  output.lut = &curve;
  output.sharpen.on = 1;
  output.sharpen.kernel = 5;
  output.sharpen.strength = 100;
  double render = 0, rest = 0, worstResident = 0, worstPrivate = 0;
  MemorySampler sampler;
  for (int i = 0; i < ids.GetCount(); ++i) {
    Clock::time_point t = Clock::now();
    IBitmapPtr working = document.RenderImage(ids[i]);
    render += Since(t);
    if (!working) {
      printf("exportbench: no render of image %d\n", i + 1);
      return 1;
    }
    long w = 0, h = 0;
    working->GetWidth(&w);
    working->GetHeight(&h);
    const double bitmapBytes = double(w) * h * 3;
    const PROCESS_MEMORY_COUNTERS before = Memory();
    sampler.Start();
    t = Clock::now();
    IBitmapPtr rendered = CImagesExportDlg::RenderImage(working, nullptr, nullptr, crop, output);
    working = nullptr;
    const std::string out = work + "out" + std::to_string(i + 1) + ".jpg";
    const bool saved = rendered && rendered->Save(_bstr_t(out.c_str()), zvkImage::ftJPEG, 24, 2) == S_OK;
    rendered = nullptr;
    rest += Since(t);
    sampler.Stop();
    if (!saved) {
      printf("exportbench: image %d not written\n", i + 1);
      return 1;
    }
    worstResident =
        std::max(worstResident, (double(sampler.residentPeak) - before.WorkingSetSize) / bitmapBytes);
    worstPrivate = std::max(worstPrivate, (double(sampler.privatePeak) - before.PagefileUsage) / bitmapBytes);
    DeleteFileA(out.c_str());
  }
  VariantClear(&curve);
  const double ours = (render + rest) / ImageCount;
  const double peakMB = Memory().PeakWorkingSetSize / 1048576.0;
  printf(
      "exportbench: %d linked 24-MP JPEGs: crop x 0.1 zoom 0.8, 2.5 degrees, red, contrast and saturation +10,\n"
      "  a tone curve, sharpen 5, 1800 x 2400 at 300 dpi, JPEG\n",
      ImageCount);
  printf("  import per image (decode, draft, link)  %7.3f s\n", import);
  printf(
      "  export per image                        %7.3f s (job's render %.3f s, output render and save %.3f s)"
      ", peak %.0f MB\n",
      ours, render / ImageCount, rest / ImageCount, peakMB);
  for (const char* tool : {"im", "vips"}) {
    const auto found = theirs.find(std::string(tool) + " export");
    if (found == theirs.end() || found->second.first <= 0) {
      printf("  %s: no figures (run by `make bench`)\n", tool);
      continue;
    }
    printf("  %-11s per image                %7.3f s, peak %.0f MB; ours / theirs %5.2f\n",
           tool[0] == 'i' ? "ImageMagick" : "libvips", found->second.first, found->second.second,
           ours / found->second.first);
  }
  const auto im = theirs.find("im export");
  if (im != theirs.end() && im->second.first > 0)
    printf("  goal: at most ImageMagick / 3 (%.3f s): %s\n", im->second.first / 3,
           ours <= im->second.first / 3 ? "met" : "MISSED");
  printf(
      "  held beyond the working bitmap from its render to the end of the save: resident %.2f, private %.2f"
      " bitmaps of its size (goal at most 2: %s)\n",
      worstResident, worstPrivate, std::max(worstResident, worstPrivate) <= 2.0 ? "met" : "MISSED");
  return 0;
}

}  // namespace

int main() {
  OleInitialize(nullptr);
  const std::string data = benchinputs::DataFolder();
  const std::string work = benchinputs::WorkFolder("pellorin-exportbench");
  const std::vector<std::string> files = benchinputs::CopyInputs(data, work, ImageCount);
  if (files.empty()) return 1;
  CWnd window;
  OpenBenchWindow(g_app, window, work);
  const int rc = ExportImages(files, benchinputs::ReadReference(data), work);
  for (const std::string& file : files) DeleteFileA(file.c_str());
  RemoveDirectoryA(work.c_str());
  return rc;
}
