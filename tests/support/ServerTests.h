// For tests of our in-process COM servers: the server beside the test program registered for the
// run through its own entry points, regsvr32, the keys under HKEY_CLASSES_ROOT, and an outer object
// that aggregates a server's object.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "comserver/RegKey.h"

namespace testsupport {

// `file` in the folder of the test program.
inline std::string BesideTestProgram(const char* file) {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  folder.resize(folder.find_last_of('\\') + 1);
  return folder + file;
}

// Loads the server, registers it for the whole run and removes it at the end; the test thread is a
// single-threaded apartment.
class RegisteredServerEnvironment : public ::testing::Environment {
 public:
  explicit RegisteredServerEnvironment(std::string path) : m_path(std::move(path)) {}
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    m_server = ::LoadLibraryA(m_path.c_str());
    ASSERT_NE(m_server, nullptr) << m_path;
    ASSERT_EQ(Call("DllRegisterServer"), S_OK);
  }
  void TearDown() override {
    if (m_server) {
      EXPECT_EQ(Call("DllUnregisterServer"), S_OK);
      ::FreeLibrary(m_server);
    }
    ::CoUninitialize();
  }

 private:
  HRESULT Call(const char* name) {
    auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(::GetProcAddress(m_server, name));
    return entry ? entry() : E_NOTIMPL;
  }

  std::string m_path;
  HMODULE m_server = nullptr;
};

// Runs regsvr32 with `arguments` on the server at `path`; its exit code.
inline DWORD RunRegsvr32(const std::string& arguments, const std::string& path) {
  std::string command = "regsvr32.exe " + arguments + " \"" + path + "\"";
  STARTUPINFOA startup = {sizeof(startup)};
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
    return ::GetLastError();
  DWORD exitCode = 0xFFFFFFFF;
  if (::WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
    ::GetExitCodeProcess(process.hProcess, &exitCode);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return exitCode;
}

// A value of HKEY_CLASSES_ROOT\`key` (its default without a name), or a marker when it is missing.
inline std::string ClassesRootValue(const std::string& key, const char* value = nullptr) {
  comserver::CRegKey opened;
  if (opened.Open(HKEY_CLASSES_ROOT, key.c_str(), KEY_READ) != ERROR_SUCCESS) return "<missing key>";
  std::string text;
  if (opened.QueryStringValue(value, text) != ERROR_SUCCESS) return "<missing value>";
  return text;
}

inline bool ClassesRootKeyExists(const std::string& key) {
  comserver::CRegKey opened;
  return opened.Open(HKEY_CLASSES_ROOT, key.c_str(), KEY_READ) == ERROR_SUCCESS;
}

// For comparing paths, which the registry and the loader may spell in other cases.
inline std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return text;
}

// An outer object that answers IUnknown itself and hands every other interface to the inner object
// it aggregates; it lives on the test's stack and counts its references.
class AggregatingOuter : public IUnknown {
 public:
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (IsEqualIID(riid, IID_IUnknown)) {
      *ppv = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    return inner ? inner->QueryInterface(riid, ppv) : E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override { return ++references; }
  STDMETHOD_(ULONG, Release)() override { return --references; }

  IUnknown* inner = nullptr;
  ULONG references = 1;
};

}  // namespace testsupport
