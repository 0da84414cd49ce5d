// Colour-managed drawing of one grid cell (a noisy draft bitmap scaled into the cell) against the plain draw
// of the same bitmap, one system conversion (TranslateBitmapBits) of the cell's pixels, our sampled table on
// them, and lcms2's tificc per megapixel (timed natively by colourbench-reference.sh in the same run). Prints
// the figures and the goals: managed within 1.5 x unmanaged, the table at least 20 x the system's conversion,
// an sRGB job on the sRGB display within 10 % of unmanaged.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "ColorManagementSettings.h"
#include "IcmCache.h"
#include "ColourTable.h"
#include "IcmDraw.h"
#include "Mscms.h"
#include "zvkImage/zvkImage.h"

using namespace zvk;

namespace {

using Clock = std::chrono::steady_clock;

// The job as the colour layer sees it: a named space.
class BenchJob : public IcmJob {
 public:
  int32_t state = 2;
  int32_t GetColorProfileState(int) override { return state; }
  bool ReadColorProfile(ColorProfileStreamOut&, int) override { return false; }
  bool SetColorSpace(int32_t space, bool, int) override { return state = space, true; }
  bool SetColorProfileFile(const char*) override { return false; }
};

// The best of several rounds, in milliseconds per call.
double Time(const std::function<void()>& body, int calls) {
  body();  // warm
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) body();
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count() / calls);
  }
  return best;
}

constexpr int kDraftWidth = 1200, kDraftHeight = 1800;  // a job's draft bitmap
constexpr int kCellWidth = 300, kCellHeight = 450;      // a grid cell at a large cell size

zvkImage::IBitmap* Draft() {
  IUnknown* unknown = nullptr;
  if (FAILED(zvkImage::CreateObject(zvkImage::CLSID_Bitmap, CLSCTX_ALL, &unknown))) return nullptr;
  zvkImage::IBitmap* bitmap = nullptr;
  unknown->QueryInterface(__uuidof(zvkImage::IBitmap), reinterpret_cast<void**>(&bitmap));
  unknown->Release();
  bitmap->Initialize(0);
  bitmap->Allocate(kDraftWidth, kDraftHeight, 24, 0);
  // A gradient with noise, like a photograph's fine detail: neighbouring pixels differ.
  const int stride = (kDraftWidth * 3 + 3) & ~3;
  std::vector<uint8_t> pixels(static_cast<size_t>(stride) * kDraftHeight);
  uint32_t seed = 1;
  for (int y = 0; y < kDraftHeight; ++y)
    for (int x = 0; x < kDraftWidth; ++x) {
      uint8_t* p = &pixels[static_cast<size_t>(y) * stride + x * 3];
      const int base[3] = {200 - y * 150 / kDraftHeight, 90 + x * 100 / kDraftWidth, y * 255 / kDraftHeight};
      for (int c = 0; c < 3; ++c) {
        seed = seed * 1664525u + 1013904223u;
        p[c] = uint8_t(std::clamp(base[c] + int(seed >> 27) - 16, 0, 255));
      }
    }
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kDraftWidth, -kDraftHeight, 1, 24, BI_RGB};
  HDC dc = nullptr;
  bitmap->GetDC(&dc);
  SetDIBitsToDevice(dc, 0, 0, kDraftWidth, kDraftHeight, 0, 0, 0, kDraftHeight, pixels.data(), &info,
                    DIB_RGB_COLORS);
  bitmap->ReleaseDC(dc);
  return bitmap;
}

}  // namespace

int main() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string data = self;
  data = data.substr(0, data.find_last_of('\\')) + "\\colourbench-data";
  zvkImage::IBitmap* draft = Draft();
  if (!draft) {
    printf("colourbench: no bitmap\n");
    return 1;
  }
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kCellWidth, -kCellHeight, 1, 24, BI_RGB};
  HDC dc = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP cell = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, cell);
  const RECT target{0, 0, kCellWidth, kCellHeight};
  const POINT origin{0, 0};

  BenchJob job;
  SetIcmJob(&job);
  ColorManagementSettings::Current().enabled = true;
  const int calls = 20;
  const double unmanaged = Time([&] { draft->Draw(dc, &target, &origin, SRCCOPY); }, calls);
  // One drawing object serves a whole paint of many cells, as the view uses it.
  auto managedDraws = [&] {
    IcmDisplay draw(dc);
    return Time([&] { draw.DrawFromSource(IcmBase::kSourceJob, draft, target, origin, SRCCOPY); }, calls);
  };
  job.state = 2;
  const double managed = managedDraws();
  const size_t conversions = IcmCache::Instance().ConversionCount();
  job.state = 1;
  IcmCache::Instance().InvalidateAll();
  const double identity = managedDraws();

  // The cell's pixels through the system's transform and through our table.
  std::string display;
  IcmCache::Instance().GetDisplayProfile(display);
  const ColourProfile adobe =
      ColourProfile::FromFile("Z:\\usr\\share\\color\\icc\\compatibleWithAdobeRGB1998.icc");
  const ColourProfile screen = ColourProfile::FromFile(display);
  const ColourTransform transform = ColourTransform::Create(adobe, screen, 0);
  const ColourTable table(transform);
  const int stride = (kCellWidth * 3 + 3) & ~3;
  std::vector<uint8_t> pixels(static_cast<size_t>(stride) * kCellHeight);
  GdiFlush();
  memcpy(pixels.data(), bits, pixels.size());
  std::vector<uint8_t> work = pixels;
  const double system = Time(
      [&] {
        work = pixels;
        transform.TranslateBgrRows(work.data(), kCellWidth, kCellHeight, stride);
      },
      3);
  const double ours = Time(
      [&] {
        work = pixels;
        table.ApplyBgrRows(work.data(), kCellWidth, kCellHeight, stride);
      },
      calls);

  double tificcPerMp = 0;
  {
    std::ifstream reference(data + "\\reference.txt");
    std::string tool;
    reference >> tool >> tificcPerMp;
  }
  const double cellMp = kCellWidth * double(kCellHeight) / 1e6;
  printf("colourbench: per cell draw, %dx%d draft into a %dx%d cell, Adobe RGB job on the sRGB display\n",
         kDraftWidth, kDraftHeight, kCellWidth, kCellHeight);
  printf("  unmanaged draw           %8.3f ms\n", unmanaged);
  printf("  managed draw             %8.3f ms  (%.2f x unmanaged, goal <= 1.5; %zu transform made)\n",
         managed, managed / unmanaged, conversions);
  printf("  sRGB job, managed        %8.3f ms  (%+.1f %% of unmanaged, goal within 10 %%)\n", identity,
         (identity / unmanaged - 1) * 100);
  printf("  one TranslateBitmapBits  %8.3f ms  (the cell's pixels)\n", system);
  printf("  our table                %8.3f ms  (%.1f x TranslateBitmapBits, goal >= 20)\n", ours,
         system / ours);
  if (tificcPerMp > 0)
    printf("  lcms2 tificc             %8.3f ms  (the cell's share of a 24 MP file; %.1f MP/s)\n",
           tificcPerMp * cellMp * 1000, 1 / tificcPerMp);
  else
    printf("  lcms2 tificc             (no reference figure from colourbench-reference.sh)\n");

  SetIcmJob(nullptr);
  IcmCache::Instance().InvalidateAll();
  draft->Release();
  SelectObject(dc, old);
  DeleteObject(cell);
  DeleteDC(dc);
  CoUninitialize();
  return 0;
}
