// The pictures views and output get from the document, against the outside tools on the same files in the
// same run (bitmapbench-reference.sh): 32 drafts with a turn, a correction and a hue key read from the job
// and derived (cold) and asked for again (warm), next to ImageMagick doing the same to the same drafts; and
// the full render of a stored 24-megapixel picture (turn, tables, saturation, sharpening) next to libvips;
// and the refresh of a linked image from that picture's JPEG next to the same decode and reduction made
// directly through the image library, in turns in this run.
#include "TheDocument.h"

#include "JobFileOptions.h"

#include "classlib/ClassLib.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class BenchApp : public CWinApp {
 public:
  BenchApp() : CWinApp("Pellorin Bitmap Bench") {}
};

BenchApp app;

using Clock = std::chrono::steady_clock;
double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

IBitmapPtr LoadPicture(const std::string& path) {
  IBitmapPtr bitmap = CreateImageBitmap("bitmapbench", 1);
  CheckBitmapCall(bitmap->Load(_bstr_t(path.c_str()), 24), bitmap);
  return bitmap;
}

// A stored image placed at the end of the job; its id.
CString Store(CTheDocument& document, zvkImage::IBitmap* picture, const ImageProcessing& processing) {
  const CString id = CObjectID::CreateNew();
  document.WriteImageBitmaps(id, false, processing, picture);
  document.InsertImageAt(-1, id, "picture.jpg", false, &processing);
  return id;
}

// The peer of a refresh: the file decoded and reduced in place to the draft's size, as directly as the
// library allows.
IBitmapPtr DecodeAndReduce(const std::string& path, uint32_t budget) {
  IBitmapPtr bitmap = LoadPicture(path);
  long width = 0, height = 0;
  bitmap->GetWidth(&width);
  bitmap->GetHeight(&height);
  const double scale = std::sqrt(budget / (3.0 * width * height));
  const long newWidth = static_cast<long>(scale * width);
  const long newHeight = static_cast<long>(scale * height);
  CheckBitmapCall(GetJobFileOptions().ResizeDraftOnly ? bitmap->ResampleFast(newWidth, newHeight, 24)
                                                      : bitmap->Resample(newWidth, newHeight, 24),
                  bitmap);
  return bitmap;
}

struct RefreshFigures {
  double ours = 0;    // RefreshImage
  double direct = 0;  // DecodeAndReduce
};

// Medians of five refreshes of a linked, cached image and five direct decodes, taken in turns.
RefreshFigures MeasureRefresh(CTheDocument& document, const std::string& file) {
  const CString id = CObjectID::CreateNew();
  const ImageProcessing none;
  document.WriteImageBitmaps(id, true, none, LoadPicture(file));
  document.InsertImageAt(-1, id, file.c_str(), true, &none);
  document.GetImageBitmap(id, 0);
  std::vector<double> ours, direct;
  for (int round = 0; round < 5; ++round) {
    Clock::time_point start = Clock::now();
    DecodeAndReduce(file, static_cast<uint32_t>(document.GetDraftSize()));
    direct.push_back(SecondsSince(start));
    start = Clock::now();
    if (!document.RefreshImage(id)) throw std::runtime_error("the refresh failed");
    ours.push_back(SecondsSince(start));
  }
  std::sort(ours.begin(), ours.end());
  std::sort(direct.begin(), direct.end());
  return {ours[2], direct[2]};
}

void Goal(const char* name, double ours, double theirs, const char* peer) {
  if (theirs <= 0) {
    std::printf("goal %-34s no figure of %s\n", name, peer);
    return;
  }
  std::printf("goal %-34s ours / %s %5.2f, at most 1: %s\n", name, peer, ours / theirs,
              ours <= theirs ? "met" : "missed");
}

int Run() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string data = Folder(self) + "\\bitmapbench-data";
  std::map<std::string, double> theirs;
  {
    std::ifstream reference(data + "\\reference.txt");
    std::string tool, task;
    double seconds = 0;
    while (reference >> tool >> task >> seconds) theirs[tool + " " + task] = seconds;
  }
  std::vector<std::string> drafts;
  for (int i = 1; i <= 32; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "\\draft%02d.png", i);
    drafts.push_back(data + name);
  }
  for (const std::string& path : std::vector<std::string>{drafts.front(), drafts.back(), data + "\\full.jpg"})
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      std::printf("bitmapbench: %s is missing (made by bitmapbench-reference.sh)\n", path.c_str());
      return 1;
    }

  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  GetJobFileOptions().FilesPath = temp;
  CWnd window;
  window.CreateEx(0, nullptr, "Pellorin", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr);
  app.m_pMainWnd = &window;
  CTheDocument document;
  if (!document.NewJob()) return 1;

  // The drafts as a job holds them (they are already at the draft size), each with the same corrections as
  // the ImageMagick run: 2.5 degrees, a brighter and steeper master curve, more saturation, a green key.
  ColorCorrectValues values;
  values.intensity = 5;
  values.contrast = 4;
  values.saturation = 10;
  ChromaKey key;
  key.on = 1;
  key.keyColour = ChromaKey::KeyColourGreen;
  key.hueRange = 20;
  std::vector<CString> ids;
  for (const std::string& path : drafts) {
    const CString id = Store(document, LoadPicture(path), ImageProcessing());
    document.SetImageColorCorrection(id, values);
    document.SetImageChromaKey(id, key);
    document.RotateImage(id, 25);
    ids.push_back(id);
  }

  // Cold: every draft read from the job and derived, as the first paint of a full cache does.
  document.GetImageBitmapCache().Clear();
  Clock::time_point start = Clock::now();
  for (const CString& id : ids)
    if (!document.GetImageBitmap(id, 4)) {
      std::printf("bitmapbench: no keyed draft\n");
      return 1;
    }
  const double cold = SecondsSince(start);
  // Warm: the same requests answered from the cache.
  const int rounds = 2000;
  start = Clock::now();
  for (int r = 0; r < rounds; ++r)
    for (const CString& id : ids) document.GetImageBitmap(id, 4);
  const double warm = SecondsSince(start) / (rounds * ids.size());

  // The full render of a stored 24-megapixel picture.
  ImageProcessing processing;
  processing.sharpen.on = 1;
  processing.sharpen.kernel = 5;
  processing.sharpen.strength = 100;
  const CString full = Store(document, LoadPicture(data + "\\full.jpg"), processing);
  ColorCorrectValues fullValues;
  fullValues.intensity = 5;
  fullValues.saturation = 10;
  document.SetImageColorCorrection(full, fullValues);
  document.RotateImage(full, 25);
  start = Clock::now();
  IBitmapPtr rendered = document.RenderImage(full);
  const double render = SecondsSince(start);
  if (!rendered) {
    std::printf("bitmapbench: the render failed\n");
    return 1;
  }
  rendered = nullptr;
  const RefreshFigures refresh = MeasureRefresh(document, data + "\\full.jpg");
  document.CloseJob();
  window.DestroyWindow();

  const double im = theirs.count("im drafts") ? theirs["im drafts"] : 0.0;
  const double vips = theirs.count("vips render") ? theirs["vips render"] : 0.0;
  std::printf("bitmapbench: seconds (ratio = ours / theirs, below 1 is faster)\n");
  std::printf(
      "32 drafts 341 x 512, turn, tables, saturation, key: cold %8.3f s | ImageMagick %8.3f s  ratio %5.2f\n",
      cold, im, im > 0 ? cold / im : 0.0);
  std::printf("the same drafts from the cache:                    warm %8.4f ms per draft\n", warm * 1000.0);
  std::printf("render 4000 x 6000, sharpen 5, 2.5 degrees, tables: %8.3f s | libvips %8.3f s  ratio %5.2f\n",
              render, vips, vips > 0 ? render / vips : 0.0);
  Goal("cold drafts", cold, im, "ImageMagick");
  std::printf("goal %-34s %.4f ms, under 0.1 ms: %s\n", "warm draft", warm * 1000.0,
              warm < 0.0001 ? "met" : "missed");
  Goal("full render", render, vips, "libvips");
  std::printf(
      "refresh of a linked 4000 x 6000 JPEG: %8.3f s | decode and draft directly %8.3f s  ratio %5.2f\n",
      refresh.ours, refresh.direct, refresh.ours / refresh.direct);
  std::printf("goal %-34s ours / direct %5.2f, at most 1.2: %s\n", "refresh of a linked JPEG",
              refresh.ours / refresh.direct, refresh.ours <= 1.2 * refresh.direct ? "met" : "missed");
  return 0;
}

}  // namespace

int main() {
  CoInitialize(nullptr);
  int result = 1;
  try {
    result = Run();
  } catch (const std::exception& e) {
    std::printf("bitmapbench failed: %s\n", e.what());
  } catch (const _com_error& e) {
    std::printf("bitmapbench failed: 0x%08lX\n", static_cast<unsigned long>(e.Error()));
  }
  CoUninitialize();
  return result;
}
