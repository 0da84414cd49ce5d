// Scanned codes in the running program: real key input (one SendInput call, as a scanner types)
// into a focused edit, with the decoder's real 150 ms thread timer, in the main loop and inside
// the modal loops of the Notes dialog and the Properties sheet.
#include "ShellTestSupport.h"

#include "DialogDriver.h"

#include "BarcodeEvents.h"
#include "BarcodeWedge.h"
#include "EventSink.h"
#include "NotesDlg.h"
#include "PropertiesDlg.h"
#include "resource.h"

#include <mutex>
#include <string>
#include <vector>

using testsupport::DialogDriver;
using testsupport::WaitFor;
using testsupport::WindowText;

namespace {

class ImageCodeSink : public EventSink {
 public:
  int OnEvent(EventSource*, Event* event) override {
    if (auto* image = dynamic_cast<BCImageEvent*>(event)) {
      std::lock_guard<std::mutex> lock(guard);
      codes.push_back(static_cast<const char*>(image->text));
    }
    return 0;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(guard);
    codes.clear();
  }
  std::vector<std::string> Codes() {
    std::lock_guard<std::mutex> lock(guard);
    return codes;
  }

 private:
  std::mutex guard;
  std::vector<std::string> codes;
};

// Keys as a scanner types them: each character as a Unicode key press, "\n" as the Enter key.
void Scan(const std::string& keys) {
  std::vector<INPUT> inputs;
  for (char c : keys) {
    for (bool up : {false, true}) {
      INPUT input = {};
      input.type = INPUT_KEYBOARD;
      if (c == '\n') {
        input.ki.wVk = VK_RETURN;
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(VK_RETURN, MAPVK_VK_TO_VSC));
      } else {
        input.ki.wScan = static_cast<unsigned char>(c);
        input.ki.dwFlags = KEYEVENTF_UNICODE;
      }
      if (up) input.ki.dwFlags |= KEYEVENTF_KEYUP;
      inputs.push_back(input);
    }
  }
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Records the key messages that reach an edit.
struct KeyLog {
  static inline WNDPROC previous = nullptr;
  static inline std::mutex guard;
  static inline std::vector<std::pair<UINT, WPARAM>> messages;

  static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR) {
      std::lock_guard<std::mutex> lock(guard);
      messages.emplace_back(message, wParam);
    }
    return ::CallWindowProcA(previous, hWnd, message, wParam, lParam);
  }
  static void Clear() {
    std::lock_guard<std::mutex> lock(guard);
    messages.clear();
  }
  static void Attach(HWND edit) {
    Clear();
    previous =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  static int Count(UINT message, WPARAM wParam) {
    std::lock_guard<std::mutex> lock(guard);
    int n = 0;
    for (const auto& m : messages) n += m.first == message && m.second == wParam ? 1 : 0;
    return n;
  }
};

class BarcodeInputTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    GetBarcodeWedge().SetHooks({});
    ASSERT_TRUE(Start());
    TestApp().Subscribe(&sink);
  }
  void TearDown() override {
    TestApp().Unsubscribe(&sink);
    ShellTest::TearDown();
  }
  ImageCodeSink sink;
};

// The three checks, in any window that has the keyboard focus; `pump` lets the window's loop run
// until the condition holds (the test's pump in the main loop, waiting in a dialog's own loop).
void ScanIntoEdit(HWND edit, ImageCodeSink& sink,
                  const std::function<bool(const std::function<bool()>&)>& pump) {
  sink.Clear();
  KeyLog::Attach(edit);
  ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  Scan("/a");
  EXPECT_TRUE(pump([&] { return WindowText(edit) == "/a"; })) << WindowText(edit);

  ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  const ULONGLONG typed = ::GetTickCount64();
  Scan("/");
  EXPECT_TRUE(pump([&] { return WindowText(edit) == "/"; }));
  EXPECT_GE(::GetTickCount64() - typed, 140u) << "the slash waits for the inter-key time";

  ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  KeyLog::Clear();
  Scan("/%i12345\n");
  EXPECT_TRUE(pump([&] { return !sink.Codes().empty(); }));
  EXPECT_EQ(sink.Codes(), (std::vector<std::string>{"12345"}));
  pump([] {
    ::Sleep(200);
    return true;
  });
  EXPECT_EQ(WindowText(edit), "") << "the code never reaches the edit";
  EXPECT_EQ(KeyLog::Count(WM_KEYDOWN, VK_RETURN), 0) << "Enter's key-down is swallowed";
  EXPECT_EQ(KeyLog::Count(WM_KEYUP, VK_RETURN), 1);
  EXPECT_GE(KeyLog::Count(WM_KEYDOWN, VK_PACKET), 8) << "the scanned characters' key-downs arrive";
  EXPECT_GE(KeyLog::Count(WM_KEYUP, VK_PACKET), 8);
}

TEST_F(BarcodeInputTest, AScannedCodeInTheMainLoopBecomesAnEvent) {
  CWnd window;
  ASSERT_TRUE(window.CreateEx(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 80,
                              TestApp().m_pMainWnd->GetSafeHwnd(), nullptr));
  ::SetForegroundWindow(window.m_hWnd);
  ::SetFocus(window.m_hWnd);
  ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == window.m_hWnd; }));
  ScanIntoEdit(window.m_hWnd, sink, [](const std::function<bool()>& done) { return PumpUntil(done, 3000); });
  window.DestroyWindow();
}

// The driver waits on its own thread while the dialog's modal loop runs the pre-translation.
bool WaitInDialog(const std::function<bool()>& done) { return WaitFor(done, 3000); }

TEST_F(BarcodeInputTest, ScannedCodesInTheNotesDialogAndThePropertiesSheet) {
  CNotesDlg notes("", true, TestApp().m_pMainWnd);
  DialogDriver notesDriver("Notes", [&](HWND hDlg) {
    HWND edit = ::GetDlgItem(hDlg, IDC_NOTES_TEXT);
    ScanIntoEdit(edit, sink, WaitInDialog);
    ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
    return true;
  });
  EXPECT_EQ(notes.DoModal(), IDCANCEL);

  CPropertiesDlg sheet(TestApp().m_pMainWnd);
  sheet.previewSize = 0;
  DialogDriver sheetDriver("File Properties", [&](HWND hSheet) {
    ::SendMessageA(hSheet, PSM_SETCURSEL, 1, 0);
    HWND page = reinterpret_cast<HWND>(::SendMessageA(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    HWND edit = ::GetDlgItem(page, IDC_PROPERTIES_PREVIEW_SIZE);
    ::SendMessageA(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    ScanIntoEdit(edit, sink, WaitInDialog);
    ::SendMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    return true;
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}

}  // namespace
