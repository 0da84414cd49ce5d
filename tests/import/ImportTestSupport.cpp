#include "BitmapPixels.h"
#include "MessagePump.h"
#include "ImportTestSupport.h"

#include "ImageEvents.h"
#include "ImageFromDiskSettings.h"
#include "ImagesFromHotSettings.h"
#include "ImagesImportSettings.h"
#include "JobFileOptions.h"
#include "ControlClasses.h"
#include "GridCtrl.h"
#include "OwnerCtl.h"

#include <fstream>
#include <functional>

namespace importtest {

namespace {

class TestApp : public CWinApp {
 public:
  TestApp() : CWinApp("Pellorin Import Tests") {}
};

TestApp g_app;
int g_testNumber = 0;

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA found = {};
  HANDLE find = FindFirstFileA((path + "*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = path + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full + "\\");
      } else {
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(full.c_str());
      }
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA(path.c_str());
}

}  // namespace

CWinApp& App() { return g_app; }

CWnd& MainWindow() {
  static CWnd window;
  if (window.m_hWnd == nullptr) {
    window.CreateEx(0, nullptr, "Pellorin", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr);
    g_app.m_pMainWnd = &window;
  }
  return window;
}

ScratchFolder::ScratchFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  static int counter = 0;
  path = std::string(temp) + "pellorin-import-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(++counter) + "\\";
  CreateDirectoryA(path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path); }

void ImportTest::SetUp() {
  ++g_testNumber;
  const std::string root = "Software\\PellorinImportTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(g_testNumber);
  CProfile::OverrideRoot(root.c_str());
  g_app.SetRegistryKey("Corvanith");
  MainWindow();
  ControlClasses::RegisterAll();
  JobFileOptions& options = GetJobFileOptions();
  options = JobFileOptions();
  options.FilesPath = jobFolder.Path().c_str();
  GetImagesImportSettings() = ImagesImportSettings();
  ImageFromDiskSettings::Instance() = ImageFromDiskSettings();
  ImagesFromHotSettings::Instance() = ImagesFromHotSettings();
  ASSERT_TRUE(document.NewJob());
}

void ImportTest::TearDown() {
  GetImagesImportSettings() = ImagesImportSettings();
  ImageFromDiskSettings::Instance() = ImageFromDiskSettings();
  RegDeleteTreeA(HKEY_CURRENT_USER,
                 ("Software\\PellorinImportTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(g_testNumber))
                     .c_str());
  CProfile::OverrideRoot(nullptr);
}

EventRecorder::EventRecorder(CTheDocument& document) : document(document) { document.Subscribe(this); }
EventRecorder::~EventRecorder() { document.Unsubscribe(this); }

int EventRecorder::OnEvent(EventSource*, Event* event) {
  names.push_back(typeid(*event).name());
  if (auto* stop = dynamic_cast<ImageImportStopEvent*>(event)) stopFinished.push_back(stop->finished);
  return 0;
}

IBitmapPtr MakeMarkedBitmap(long width, long height, COLORREF colour, long x, long y, COLORREF marker) {
  IBitmapPtr bitmap = CreateImageBitmap("test", 1);
  EXPECT_EQ(S_OK, bitmap->Allocate(width, height, 24, 0));
  HDC dc = nullptr;
  EXPECT_EQ(S_OK, bitmap->GetDC(&dc));
  RECT all = {0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  if (x >= 0 && y >= 0) {
    // A block, so that lossy files keep it recognisable.
    RECT block = {x, y, x + 8, y + 8};
    HBRUSH mark = CreateSolidBrush(marker);
    FillRect(dc, &block, mark);
    DeleteObject(mark);
  }
  EXPECT_EQ(S_OK, bitmap->ReleaseDC(dc));
  return bitmap;
}

SIZE SizeOf(zvkImage::IBitmap* bitmap) {
  long width = 0, height = 0;
  bitmap->GetWidth(&width);
  bitmap->GetHeight(&height);
  return SIZE{width, height};
}

POINT FindColour(zvkImage::IBitmap* bitmap, COLORREF colour, int tolerance) {
  const SIZE size = SizeOf(bitmap);
  for (long y = 0; y < size.cy; ++y)
    for (long x = 0; x < size.cx; ++x) {
      const COLORREF seen = PixelOf(bitmap, x, y);
      if (std::abs(GetRValue(seen) - GetRValue(colour)) <= tolerance &&
          std::abs(GetGValue(seen) - GetGValue(colour)) <= tolerance &&
          std::abs(GetBValue(seen) - GetBValue(colour)) <= tolerance)
        return POINT{x, y};
    }
  return POINT{-1, -1};
}

void SaveBitmap(zvkImage::IBitmap* bitmap, const std::string& path, long fileType) {
  const _bstr_t name(path.c_str());
  ASSERT_EQ(S_OK, bitmap->Save(name, fileType, 24, 0)) << path;
}

void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  return testsupport::PumpUntil(g_app, done, timeoutMs);
}

void PumpFor(DWORD ms) { testsupport::PumpPending(g_app, ms); }

}  // namespace importtest
