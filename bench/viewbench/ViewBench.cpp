// The image grid over a job of 1000 generated pictures, shown 6 x 4 in a 1280 x 1024 window. Prints
// the rebuild time, the warm cell paint (median and 99th percentile) next to a bare StretchDIBits of
// the same picture into the same rectangle, and, paging through the whole job, the longest paint
// message and the time until each page shows every picture. The job is written once, beside the
// program, and reused by later runs.
#include "AppEventBus.h"
#include "ControlClasses.h"
#include "EventSource.h"
#include "GeneratedPicture.h"
#include "IdleTimeEvent.h"
#include "IndividualImagesView.h"
#include "JobFileOptions.h"
#include "TheDocument.h"

#include "classlib/ClassLib.h"
#include "classlib/FileDialogScript.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
double MsSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

constexpr int ImageCount = 1000;

class BenchApp : public CWinApp {
 public:
  BenchApp() : CWinApp("Pellorin View Bench") {}
};
BenchApp g_app;

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Smooth pictures in both orientations.
IBitmapPtr MakePicture(unsigned seed) {
  const bool upright = seed % 3 == 0;
  return MakeGeneratedPicture("viewbench", upright ? 600 : 900, upright ? 900 : 600, seed, false);
}

bool WriteJob(const std::string& path) {
  CTheDocument document;
  if (!document.NewJob()) return false;
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < ImageCount; ++i) {
    const CString id = CObjectID::CreateNew();
    document.WriteImageBitmaps(id, false, ImageProcessing(), MakePicture(static_cast<unsigned>(i)));
    CString name;
    name.Format("picture%04d.jpg", i + 1);
    document.InsertImageAt(-1, id, name, false, nullptr);
  }
  CFileDialogScript answers;
  answers.Answer(path.c_str());
  const bool saved = document.SaveAs() && document.CloseJob();
  std::printf("viewbench: wrote a job of %d generated pictures in %.1f s (once; reused later)\n", ImageCount,
              MsSince(start) / 1000);
  return saved;
}

struct Spread {
  double median = 0, p99 = 0;
};
Spread Of(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  Spread s;
  s.median = samples[samples.size() / 2];
  s.p99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
  return s;
}

// A 24-bit DIB section selected into a memory DC, as the screen's paint lands in.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  Canvas(HDC like, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    bitmap = CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc = CreateCompatibleDC(like);
    previous = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
};

// The bitmap's pixels as a top-down 24-bit buffer, for the bare draw.
std::vector<unsigned char> PixelsOf(zvkImage::IBitmap* bitmap, long width, long height, BITMAPINFO& info) {
  info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  std::vector<unsigned char> pixels(static_cast<size_t>((width * 3 + 3) & ~3L) * static_cast<size_t>(height));
  HDC dc = nullptr;
  CheckBitmapCall(bitmap->GetDC(&dc), bitmap);
  HBITMAP selected = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
  GetDIBits(dc, selected, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  CheckBitmapCall(bitmap->ReleaseDC(dc), bitmap);
  return pixels;
}

// Paints the grid's invalid area through its paint message, timed.
double PaintNow(CWnd& grid) {
  const Clock::time_point start = Clock::now();
  grid.UpdateWindow();
  return MsSince(start);
}

int Run(const std::string& folder) {
  const std::string job = folder + "\\viewbench-job.plj";
  GetJobFileOptions().FilesPath = folder.c_str();
  if (!Exists(job) && !WriteJob(job)) {
    std::printf("viewbench: could not write the job\n");
    return 1;
  }

  CTheDocument document;
  CFrameWnd frame;
  frame.Create(nullptr, "Pellorin", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1280, 1024));
  g_app.m_pMainWnd = &frame;
  CIndividualImagesView* view = new CIndividualImagesView;
  view->CreateView(&frame, AFX_IDW_PANE_FIRST, &document, nullptr);
  view->GetArrangement().NoAcross = 6;
  view->GetArrangement().NoDown = 4;
  view->SetUpdatesEnabled(true);
  frame.ShowWindow(SW_SHOWNORMAL);
  CRect client;
  frame.GetClientRect(&client);
  view->MoveWindow(&client);
  Pump();

  if (!document.OpenJob(job.c_str(), true)) {
    std::printf("viewbench: could not open %s\n", job.c_str());
    return 1;
  }
  Clock::time_point start = Clock::now();
  view->RebuildImageList();
  view->ApplyArrangement();
  const double rebuild = MsSince(start);
  COwnerCellCtl& grid = view->GetGrid();
  Pump();

  // Every picture of the first page decoded, then its cells painted again and again.
  const int page = grid.GetPageSize();
  for (int i = 0; i < page; ++i) view->GetDisplayBitmap(view->GetCellImageId(i), false);
  CRect gridRect;
  grid.GetClientRect(&gridRect);
  CClientDC screen(&grid);
  Canvas canvas(screen.GetSafeHdc(), gridRect.Width(), gridRect.Height());
  CDC* out = CDC::FromHandle(canvas.dc);
  std::vector<double> cellTimes, bareTimes;
  for (int round = 0; round < 20; ++round) {
    for (int i = 0; i < page; ++i) {
      const CRect cell = grid.GetCellRect(i);
      start = Clock::now();
      view->OnDrawCell(&grid, out, i, cell, cell, 0);
      cellTimes.push_back(MsSince(start));
    }
  }
  for (int i = 0; i < page; ++i) {
    IBitmapPtr bitmap = view->GetDisplayBitmap(view->GetCellImageId(i), true);
    long w = 0, h = 0;
    bitmap->GetWidth(&w);
    bitmap->GetHeight(&h);
    BITMAPINFO info;
    const std::vector<unsigned char> pixels = PixelsOf(bitmap, w, h, info);
    const CRect cell = grid.GetCellRect(i);
    for (int round = 0; round < 20; ++round) {
      start = Clock::now();
      SetStretchBltMode(canvas.dc, COLORONCOLOR);
      StretchDIBits(canvas.dc, cell.left, cell.top, cell.Width(), cell.Height(), 0, 0, w, h, pixels.data(),
                    &info, DIB_RGB_COLORS, SRCCOPY);
      GdiFlush();
      bareTimes.push_back(MsSince(start));
    }
  }
  const Spread cellPaint = Of(cellTimes), bare = Of(bareTimes);

  // Page by page through the job: the paint message at once, then idle passes until whole.
  double longestPaint = 0, longestWhole = 0, sumWhole = 0;
  int pages = 0;
  grid.SetTopIndex(COwnerCellCtl::ItemPos::ByIndex(0));
  PaintNow(grid);
  while (grid.CanPageDown()) {
    start = Clock::now();
    grid.PageDown();
    longestPaint = std::max(longestPaint, PaintNow(grid));
    while (grid.GetIdleQueueSize() != 0) {
      IdleTimeEvent idle;
      GetAppEventSource()->Fire(&idle);
      const Clock::time_point paint = Clock::now();
      Pump();
      longestPaint = std::max(longestPaint, MsSince(paint));
    }
    const double whole = MsSince(start);
    longestWhole = std::max(longestWhole, whole);
    sumWhole += whole;
    ++pages;
  }

  std::printf("viewbench: %d images, %d x %d cells of %d x %d in a 1280 x 1024 window\n", grid.GetItemCount(),
              view->GetArrangement().NoAcross, view->GetArrangement().NoDown, grid.GetCellRect(0).Width(),
              grid.GetCellRect(0).Height());
  std::printf("  rebuild of the grid            %8.1f ms\n", rebuild);
  std::printf(
      "  warm cell paint                %8.3f ms median, %.3f ms 99th percentile (goal: median within 3 ms: %s)\n",
      cellPaint.median, cellPaint.p99, cellPaint.median <= 3 ? "met" : "MISSED");
  std::printf("  bare StretchDIBits, same cell  %8.3f ms median, %.3f ms 99th percentile; cell / bare %.2f\n",
              bare.median, bare.p99, cellPaint.median / bare.median);
  std::printf("  paging through %d pages: longest paint message %.1f ms (goal under 100 ms: %s)\n", pages,
              longestPaint, longestPaint < 100 ? "met" : "MISSED");
  std::printf("  until a page shows every picture: %.1f ms on average, %.1f ms at most\n",
              pages ? sumWhole / pages : 0.0, longestWhole);
  document.CloseJob();
  frame.DestroyWindow();
  return 0;
}

}  // namespace

int main() {
  OleInitialize(nullptr);
  ControlClasses::RegisterAll();
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  int rc = 1;
  try {
    rc = Run(Folder(self));
  } catch (const std::exception& e) {
    std::printf("viewbench failed: %s\n", e.what());
  }
  OleUninitialize();
  return rc;
}
