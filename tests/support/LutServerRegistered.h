// COM started on the thread and zvkLUT.ocx registered in the prefix for the scope, as the program's
// start and set-up do, so that tone curves can be made and read back. Programs that use it hold the
// zvkLUT_registration lock: other tests take the server out of the registry for a while.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

class LutServerRegistered {
 public:
  // The server lies in the folder given (with its trailing backslash), else beside the program.
  explicit LutServerRegistered(const std::string& folder = ProgramFolder()) {
    started = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    server = ::LoadLibraryA((folder + "zvkLUT.ocx").c_str());
    registered = Call("DllRegisterServer");
  }
  ~LutServerRegistered() {
    if (registered == S_OK) Call("DllUnregisterServer");
    if (server != nullptr) ::FreeLibrary(server);
    if (started) ::CoUninitialize();
  }
  LutServerRegistered(const LutServerRegistered&) = delete;
  LutServerRegistered& operator=(const LutServerRegistered&) = delete;

  // S_OK when the server took its registration.
  HRESULT Registered() const { return registered; }

  static std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.find_last_of('\\') + 1);
    return folder;
  }

 private:
  HRESULT Call(const char* name) {
    auto entry = server != nullptr
                     ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(::GetProcAddress(server, name))
                     : nullptr;
    return entry != nullptr ? entry() : E_FAIL;
  }
  bool started = false;
  HMODULE server = nullptr;
  HRESULT registered = E_FAIL;
};

}  // namespace testsupport
