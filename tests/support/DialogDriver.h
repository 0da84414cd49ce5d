// Drives a real dialog the way UI automation does: a second thread waits until the test thread
// shows a dialog ("#32770") with the given title, then runs a script on it with messages across
// threads. A script that fails or never finds its dialog cancels whatever dialog the test thread
// shows, so the test fails instead of hanging.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace testsupport {

constexpr DWORD kDriverTimeoutMs = 10000;

// Waits on the driver's thread until the condition holds; false on time-out.
inline bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = kDriverTimeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  while (!done()) {
    if (::GetTickCount64() > end) return false;
    ::Sleep(20);
  }
  return true;
}

inline std::string WindowText(HWND hWnd) {
  char text[1024] = {};
  ::GetWindowTextA(hWnd, text, sizeof(text));
  return text;
}

inline HWND FindThreadDialog(DWORD threadId, const char* title) {
  struct Find {
    const char* title;
    HWND found;
  } find{title, nullptr};
  ::EnumThreadWindows(
      threadId,
      [](HWND hWnd, LPARAM lParam) -> BOOL {
        auto* f = reinterpret_cast<Find*>(lParam);
        char className[32] = {};
        ::GetClassNameA(hWnd, className, sizeof(className));
        if (lstrcmpA(className, "#32770") != 0 || !::IsWindowVisible(hWnd) || !::IsWindowEnabled(hWnd))
          return TRUE;
        if (f->title != nullptr && WindowText(hWnd) != f->title) return TRUE;
        f->found = hWnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&find));
  return find.found;
}

// Clicks a button as the operator does (BN_CLICKED from the button).
inline void ClickButton(HWND hDlg, int id) {
  ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, id)));
}

// The file-name box of the system's open and save dialogs: the edit inside the name combo box of the
// explorer-style dialog, else the old style's edit.
inline HWND FileNameField(HWND hDlg) {
  if (HWND combo = ::GetDlgItem(hDlg, 0x47C)) {
    HWND edit = ::FindWindowExA(combo, nullptr, "Edit", nullptr);
    return edit != nullptr ? edit : combo;
  }
  return ::GetDlgItem(hDlg, 0x480);
}

class DialogDriver {
 public:
  // The script returns true when it has done its work (and closed the dialog).
  DialogDriver(const char* title, std::function<bool(HWND)> script)
      : testThread(::GetCurrentThreadId()),
        title(title ? title : ""),
        anyTitle(title == nullptr),
        script(std::move(script)) {
    thread = std::thread([this] { Run(); });
  }
  ~DialogDriver() {
    if (thread.joinable()) thread.join();
  }
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  // Whether the script ran and its dialog closed (ask once the dialog's loop has ended). Waits for the
  // driving thread: it may still be watching the window go when the loop has already returned.
  bool Succeeded() {
    if (thread.joinable()) thread.join();
    return succeeded;
  }

 private:
  void Run() {
    HWND hDlg = nullptr;
    WaitFor(
        [&] { return (hDlg = FindThreadDialog(testThread, anyTitle ? nullptr : title.c_str())) != nullptr; });
    // A script that meant to close its dialog but left it open must not leave the test waiting.
    if (hDlg != nullptr && script(hDlg) && WaitFor([hDlg] { return !::IsWindowVisible(hDlg); })) {
      succeeded = true;
      return;
    }
    WaitFor([&] {
      HWND any = FindThreadDialog(testThread, nullptr);
      if (any == nullptr) return true;
      ::PostMessageA(any, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      ::Sleep(100);
      return false;
    });
  }

  DWORD testThread;
  std::string title;
  bool anyTitle;
  std::function<bool(HWND)> script;
  std::atomic<bool> succeeded{false};
  std::thread thread;
};

}  // namespace testsupport
