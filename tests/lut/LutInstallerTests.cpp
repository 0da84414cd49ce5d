// zvkLUT's installer entry: when it leaves things alone, where it copies the library, when it replaces
// a registered copy, and what it says when it cannot. Every test puts the registry and files back.
#include <atomic>
#include <thread>

#include "LutTestSupport.h"
#include "comserver/RegValueKey.h"
#include "comserver/SharedFiles.h"

using namespace luttest;
using comserver::RegValueKey;

namespace {

const char kLutServerKey[] = "CLSID\\{12B65E10-171C-11D3-BD0F-0080C8E4AFC3}";
const char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kCaption[] = "Corvanith LUT Controls Installation";
const char kSharedCopy[] = "C:\\Program Files\\Common Files\\Corvanith Shared\\zvkLUT.ocx";

using ServerCall = HRESULT(STDAPICALLTYPE*)();
using InstallCall = HRESULT(STDAPICALLTYPE*)(BOOL);

HMODULE Server() { return GetModuleHandleA(ServerPath().c_str()); }
HRESULT Install(BOOL showBoxes) {
  auto install = reinterpret_cast<InstallCall>(GetProcAddress(Server(), "DllInstallServer"));
  return install ? install(showBoxes) : E_NOTIMPL;
}
HRESULT Call(const char* name) {
  auto call = reinterpret_cast<ServerCall>(GetProcAddress(Server(), name));
  return call ? call() : E_NOTIMPL;
}

std::string RegisteredPath() {
  RegValueKey key;
  std::string path;
  if (key.Open(HKEY_CLASSES_ROOT, (std::string(kLutServerKey) + "\\InprocServer32").c_str()) != ERROR_SUCCESS)
    return "";
  key.ReadString(nullptr, path);
  return path;
}

ULONGLONG WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}

void SetWriteTime(const std::string& path, ULONGLONG time) {
  HANDLE file =
      CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME stamp = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
  SetFileTime(file, nullptr, nullptr, &stamp);
  CloseHandle(file);
}

// A saved registry value of HKLM\...\CurrentVersion, put back as it was (or removed) at the end.
class SavedSetting {
 public:
  explicit SavedSetting(const char* name) : m_name(name) {
    RegValueKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kCurrentVersion) == ERROR_SUCCESS)
      m_existed = key.ReadString(name, m_value) == ERROR_SUCCESS;
  }
  ~SavedSetting() {
    RegValueKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kCurrentVersion, KEY_SET_VALUE) != ERROR_SUCCESS) return;
    if (m_existed)
      key.WriteString(m_name, m_value.c_str(), static_cast<DWORD>(m_value.size()));
    else
      RegDeleteValueA(key.Handle(), m_name);
  }

 private:
  const char* m_name;
  bool m_existed = false;
  std::string m_value;
};

// Finds the installer's box from a second thread, as automation would, keeps its text and presses OK.
class BoxAnswerer {
 public:
  BoxAnswerer()
      : m_thread([this] {
          for (int attempt = 0; attempt < 400 && !m_stop; ++attempt) {
            HWND box = FindWindowA("#32770", kCaption);
            if (box && IsWindowVisible(box)) {
              char text[2048] = {};
              GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
              m_text = text;
              PostMessageA(box, WM_COMMAND, IDOK, 0);
              return;
            }
            Sleep(25);
          }
        }) {}
  ~BoxAnswerer() { Join(); }
  const std::string& Text() {
    Join();
    return m_text;
  }

 private:
  void Join() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
  }
  std::atomic<bool> m_stop{false};
  std::string m_text;
  std::thread m_thread;
};

class LutInstaller : public ::testing::Test {
 protected:
  void TearDown() override {
    // The test's own server is the registered one again; the shared copy is gone.
    EXPECT_EQ(Call("DllRegisterServer"), S_OK);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, (std::string(kLutServerKey) + "\\LocalServer32").c_str());
    DeleteFileA(kSharedCopy);
    RemoveDirectoryA("C:\\Program Files\\Common Files\\Corvanith Shared");
  }
};

}  // namespace

TEST_F(LutInstaller, LeavesOtherInstallationsAlone) {
  // Registered in its own folder at the same build.
  ULONGLONG ownTime = WriteTime(ServerPath());
  EXPECT_EQ(Install(0), S_FALSE);
  EXPECT_EQ(WriteTime(ServerPath()), ownTime);
  EXPECT_EQ(GetFileAttributesA(kSharedCopy), INVALID_FILE_ATTRIBUTES);

  // Registered as another file name.
  {
    RegValueKey key;
    ASSERT_EQ(
        key.Open(HKEY_CLASSES_ROOT, (std::string(kLutServerKey) + "\\InprocServer32").c_str(), KEY_SET_VALUE),
        ERROR_SUCCESS);
    key.WriteString(nullptr, "C:\\elsewhere\\lutother.dll", 25);
  }
  EXPECT_EQ(Install(0), S_FALSE);
  EXPECT_EQ(RegisteredPath(), "C:\\elsewhere\\lutother.dll");
  ASSERT_EQ(Call("DllRegisterServer"), S_OK);

  // Registered also as a local server.
  {
    RegValueKey key;
    ASSERT_EQ(key.Create(HKEY_CLASSES_ROOT, (std::string(kLutServerKey) + "\\LocalServer32").c_str()),
              ERROR_SUCCESS);
    key.WriteString(nullptr, "C:\\lut.exe", 10);
  }
  EXPECT_EQ(Install(0), S_FALSE);
  EXPECT_EQ(GetFileAttributesA(kSharedCopy), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LutInstaller, CopiesIntoTheCommonFilesFolderAndReplacesOnlyOlderCopies) {
  SavedSetting commonFiles("CommonFilesDir");
  SavedSetting programFiles("ProgramFilesDir");
  ASSERT_EQ(Call("DllUnregisterServer"), S_OK);
  {
    RegValueKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, kCurrentVersion, KEY_SET_VALUE), ERROR_SUCCESS);
    RegDeleteValueA(key.Handle(), "CommonFilesDir");
    key.WriteString("ProgramFilesDir", "C:\\Program Files\\", 17);
  }
  ASSERT_EQ(Install(0), S_OK);
  EXPECT_NE(GetFileAttributesA(kSharedCopy), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA((std::string(kSharedCopy) + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
  std::string written;
  RegValueKey settings;
  ASSERT_EQ(settings.Open(HKEY_LOCAL_MACHINE, kCurrentVersion), ERROR_SUCCESS);
  EXPECT_EQ(settings.ReadString("CommonFilesDir", written), ERROR_SUCCESS);
  EXPECT_EQ(written, "C:\\Program Files\\Common Files");
  EXPECT_EQ(_stricmp(RegisteredPath().c_str(), kSharedCopy), 0) << RegisteredPath();

  // The same build registered there: nothing to do. An older copy: replaced in place.
  EXPECT_EQ(Install(0), S_FALSE);
  ULONGLONG ownTime = WriteTime(ServerPath());
  SetWriteTime(kSharedCopy, ownTime - 10000000ull * 3600);
  EXPECT_EQ(Install(0), S_OK);
  EXPECT_EQ(WriteTime(kSharedCopy), ownTime);

  // An older copy that another program holds open without sharing stays, with the in-use box.
  SetWriteTime(kSharedCopy, ownTime - 10000000ull * 3600);
  HANDLE held = CreateFileA(kSharedCopy, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Install(0), HRESULT(0x80070020));
  {
    BoxAnswerer answerer;
    EXPECT_EQ(Install(1), HRESULT(0x80070020));
    EXPECT_EQ(
        answerer.Text(),
        std::string("The Corvanith LUT components could not be updated because the existing file (") +
            kSharedCopy +
            ") could not be overwritten. The file may be in use by another program, it may be read-only, "
            "or you may not have permissions to perform this operation.");
  }
  CloseHandle(held);
  EXPECT_EQ(WriteTime(kSharedCopy), ownTime - 10000000ull * 3600);
}

TEST_F(LutInstaller, SaysWhenTheCommonFilesFolderIsUnknown) {
  SavedSetting commonFiles("CommonFilesDir");
  SavedSetting programFiles("ProgramFilesDir");
  ASSERT_EQ(Call("DllUnregisterServer"), S_OK);
  {
    RegValueKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, kCurrentVersion, KEY_SET_VALUE), ERROR_SUCCESS);
    RegDeleteValueA(key.Handle(), "CommonFilesDir");
    key.WriteString("ProgramFilesDir", "C", 1);
  }
  EXPECT_EQ(Install(0), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  BoxAnswerer answerer;
  EXPECT_EQ(Install(1), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(
      answerer.Text().rfind("The Corvanith LUT components could not be installed because the Common Files "
                            "path could not be determined.",
                            0),
      0u)
      << answerer.Text();
  EXPECT_EQ(GetFileAttributesA(kSharedCopy), INVALID_FILE_ATTRIBUTES);
}
