// Starts Pellorin.exe as its own process, finds its main window and closes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string ProgramPath() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path(self);
  return path.substr(0, path.find_last_of("\\/") + 1) + "Pellorin.exe";
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindVisibleTopLevel(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == search->processId && IsWindowVisible(hwnd) &&
      (GetWindowLongA(hwnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForMainWindow(DWORD processId, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (GetTickCount64() < end) {
    WindowSearch search{processId, nullptr};
    EnumWindows(FindVisibleTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(50);
  }
  return nullptr;
}

std::string VersionValue(const std::string& file, const char* name) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
  if (size == 0) return {};
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(file.c_str(), 0, size, block.data())) return {};
  struct Translation {
    WORD language, codePage;
  }* translations = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                      &length) ||
      length < sizeof(Translation))
    return {};
  char query[128];
  wsprintfA(query, "\\StringFileInfo\\%04X%04X\\%s", translations[0].language, translations[0].codePage,
            name);
  char* value = nullptr;
  if (!VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&value), &length) || !value) return {};
  return value;
}

TEST(ProgramStart, MainWindowOpensAndClosesCleanly) {
  std::string path = ProgramPath();
  std::string commandLine = "\"" + path + "\"";
  STARTUPINFOA si = {sizeof(si)};
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &si, &pi))
      << "cannot start " << path << ", error " << GetLastError();

  HWND main = WaitForMainWindow(pi.dwProcessId, 30000);
  if (!main) TerminateProcess(pi.hProcess, 99);
  ASSERT_NE(main, nullptr) << "no main window appeared";

  char title[256] = {};
  GetWindowTextA(main, title, sizeof(title));
  EXPECT_EQ(std::string(title).rfind("Pellorin", 0), 0u) << title;

  PostMessageA(main, WM_CLOSE, 0, 0);
  DWORD wait = WaitForSingleObject(pi.hProcess, 30000);
  if (wait != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
  ASSERT_EQ(wait, WAIT_OBJECT_0) << "the program did not end after WM_CLOSE";
  DWORD exitCode = 1;
  GetExitCodeProcess(pi.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0u);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

TEST(ProgramStart, VersionBlockNamesTheProduct) {
  const std::string path = ProgramPath();
  EXPECT_EQ(VersionValue(path, "ProductName"), "Pellorin");
  EXPECT_FALSE(VersionValue(path, "ProductVersion").empty());
  EXPECT_FALSE(VersionValue(path, "LegalCopyright").empty());
}

}  // namespace
