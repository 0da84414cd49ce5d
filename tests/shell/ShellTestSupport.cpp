#include "ShellTestSupport.h"

#include "MessagePump.h"

#include "Fixtures.h"
#include "ImageFromDiskSettings.h"
#include "ImagesFromHotSettings.h"
#include "ImagesImportSettings.h"
#include "JobFileOptions.h"
#include "LibrarySettings.h"
#include "MainFrame_Image.h"
#include "ModuleSettings.h"
#include "OptionValues.h"
#include "Options.h"
#include "SearchPaths.h"
#include "SplashWnd.h"
#include "TheDocument.h"
#include "WindowState.h"
#include "ImageExportSettings.h"

namespace {

CShellTestApp g_app;
int g_testNumber = 0;

// The scratch folder holds only files.
void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        DeleteFileA((folder + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

void DrainQuit() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

}  // namespace

CShellTestApp& TestApp() { return g_app; }

void CShellTestApp::ParseArguments(CCommandLineInfo& info) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const char* param = arguments[i].c_str();
    BOOL flag = FALSE;
    if (param[0] == '/' || param[0] == '-') {
      flag = TRUE;
      ++param;
    }
    info.ParseParam(param, flag, i + 1 == arguments.size());
  }
  if (!showSplash) info.m_bShowSplash = FALSE;
}

void ResetProcessSettings() {
  GetOptions() = COptions();
  GetJobFileOptions() = JobFileOptions();
  GetOptionValues() = OptionValues();
  GetWindowState() = WindowState();
  GetSearchPaths() = SearchPaths();
  GetBackgroundsSettings() = LibrarySettings();
  GetMasksSettings() = LibrarySettings();
  GetGraphicsSettings() = LibrarySettings();
  ImageExportSettings::Instance() = ImageExportSettings();
  ImageFromDiskSettings::Instance() = ImageFromDiskSettings();
  ImagesFromHotSettings::Instance() = ImagesFromHotSettings();
  GetImagesImportSettings() = ImagesImportSettings();
  ResetSettingsState();
}

void ShellTest::SetUp() {
  ++g_testNumber;
  std::string root = "Software\\PellorinShellTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
                     std::to_string(g_testNumber);
  CProfile::OverrideRoot(root.c_str());
  TestApp().SetRegistryKey("Corvanith");
  TestApp().screenSize = {1280, 1024};
  TestApp().arguments.clear();
  TestApp().showSplash = false;
  TestApp().m_nCmdShow = SW_SHOWNORMAL;
  ResetProcessSettings();
  scratch = testsupport::ScratchFolder("shell");
  DrainQuit();
}

void ShellTest::TearDown() {
  Stop();
  CSplashWnd::HideSplashScreen();
  DrainQuit();
  RegDeleteTreeA(HKEY_CURRENT_USER,
                 ("Software\\PellorinShellTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(g_testNumber))
                     .c_str());
  CProfile::OverrideRoot(nullptr);
  // The File commands make the job's folder the current one.
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  SetCurrentDirectoryA(temp);
  RemoveFolder(scratch);
}

bool ShellTest::Start(const std::vector<std::string>& arguments) {
  TestApp().arguments = arguments;
  running = true;
  if (TestApp().InitInstance()) {
    PumpPending();
    return true;
  }
  // As the class library does after a refused start.
  if (TestApp().m_pMainWnd != nullptr && TestApp().m_pMainWnd->m_hWnd != nullptr)
    TestApp().m_pMainWnd->DestroyWindow();
  TestApp().ExitInstance();
  running = false;
  DrainQuit();
  return false;
}

bool ShellTest::CloseMainWindow() {
  CWnd* main = TestApp().m_pMainWnd;
  if (main == nullptr || main->m_hWnd == nullptr) return false;
  HWND hwnd = main->m_hWnd;
  ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
  if (::IsWindow(hwnd)) return false;
  TestApp().ExitInstance();
  running = false;
  DrainQuit();
  return true;
}

void ShellTest::Stop() {
  if (!running) return;
  // Closing the job removes its temporary file.
  if (CTheDocument* document = TestApp().GetDocument()) {
    try {
      if (document->IsOpen() && !document->IsBusy()) document->CloseJob();
    } catch (...) {
    }
  }
  CWnd* main = TestApp().m_pMainWnd;
  if (main != nullptr && main->m_hWnd != nullptr) main->DestroyWindow();
  TestApp().m_pMainWnd = nullptr;
  TestApp().ExitInstance();
  running = false;
  DrainQuit();
}

CMainFrame_Image* ShellTest::Frame() const { return dynamic_cast<CMainFrame_Image*>(TestApp().m_pMainWnd); }

std::string ShellTest::Title() const {
  CWnd* main = TestApp().m_pMainWnd;
  if (main == nullptr || main->m_hWnd == nullptr) return {};
  char text[512] = {};
  ::GetWindowTextA(main->m_hWnd, text, sizeof(text));
  return text;
}

std::string ShellTest::ProfileKey() const {
  return std::string(CProfile::GetRoot()) + "\\Corvanith\\Pellorin";
}

bool ShellTest::ProfileValueExists(const char* section, const char* entry) const {
  std::string key = ProfileKey() + "\\" + section;
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  bool exists = RegQueryValueExA(opened, entry, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(opened);
  return exists;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  return testsupport::PumpUntil(TestApp(), done, timeoutMs);
}

void PumpPending(DWORD ms) { testsupport::PumpPending(TestApp(), ms); }
