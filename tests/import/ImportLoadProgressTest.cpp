// The disk-import worker's load progress: a file of 32 KB or more moves the dialog's file bar in steps of
// 32 KB while it loads; a smaller one, or a load without a worker, reports nothing.
#include "ImportTestSupport.h"

#include "ImagesFromDiskThread.h"
#include "ImportMessages.h"

#include <algorithm>
#include <atomic>
#include <vector>

using namespace importtest;

namespace {

// A window that keeps the percentages the worker sends it.
class PercentWindow {
 public:
  PercentWindow() {
    WNDCLASSA type = {};
    type.lpfnWndProc = &Procedure;
    type.hInstance = ::GetModuleHandleA(nullptr);
    type.lpszClassName = "ImportPercentWindow";
    ::RegisterClassA(&type);
    window = ::CreateWindowA(type.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, type.hInstance,
                             nullptr);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~PercentWindow() { ::DestroyWindow(window); }
  HWND Handle() const { return window; }
  std::vector<int32_t> percents;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_IMPORT_PERCENT)
      if (auto* self = reinterpret_cast<PercentWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA)))
        self->percents.push_back(*reinterpret_cast<const int32_t*>(lParam));
    return ::DefWindowProcA(window, message, wParam, lParam);
  }
  HWND window = nullptr;
};

class ImportLoadProgressTest : public ImportTest {};

TEST_F(ImportLoadProgressTest, ALargeFileReportsItsLoadInStepsUpToTheWhole) {
  PercentWindow window;
  std::atomic<int> answer{0};
  const CImagesFromDiskThread::Link link{window.Handle(), nullptr, nullptr, nullptr, &answer};
  CImagesFromDiskThread worker(link, false, false, false, {});
  struct Case {
    long side;    // a square bitmap file of side x side pixels, 3 bytes each
    bool worker;  // loaded for the worker
    bool reports;
  };
  for (const Case& c : {Case{256, true, true}, Case{256, false, false}, Case{64, true, false}}) {
    SCOPED_TRACE(c.side);
    const std::string path = folder.File("progress_" + std::to_string(c.side) + ".bmp");
    SaveBitmap(MakeMarkedBitmap(c.side, c.side, RGB(90, 90, 90), 1, 1, RGB(250, 20, 20)), path, 6);
    window.percents.clear();
    ImportTagTexts texts;
    ASSERT_TRUE(CImagesFromDiskThread::LoadImageFile(path.c_str(), texts, c.worker ? &worker : nullptr));
    if (!c.reports) {
      EXPECT_TRUE(window.percents.empty());
      continue;
    }
    ASSERT_FALSE(window.percents.empty());
    EXPECT_TRUE(std::is_sorted(window.percents.begin(), window.percents.end()));
    EXPECT_GE(window.percents.front(), 0);
    EXPECT_EQ(100, window.percents.back());
  }
}

}  // namespace
