// Installing the shared copy of zvkLUT.ocx. The registered copy is replaced only as a whole: the new
// file is copied beside it under a temporary name and moved over it once complete.
#include "InstallServer.h"

#include <objbase.h>

#include <string>

#include "Lut.h"
#include "comserver/ServerRecords.h"
#include "comserver/SharedFiles.h"

namespace {

using comserver::ServerRecord;

const char kCaption[] = "Corvanith LUT Controls Installation";
const char kFileName[] = "zvkLUT.ocx";

const char kQueryFailed[] =
    "An unexpected error occured querying the registry to check whether the Corvanith LUT components "
    "need to be installed or updated. If you want to try and force an update of zvkLUT.OCX now, click "
    "OK. Otherwise, press Cancel. ";
const char kCheckFailedAt[] =
    "An unexpected error occured checking whether the Corvanith LUT components need to be updated "
    "(according to the registry, they are currently installed at %1). ";
const char kCheckFailed[] =
    "An unexpected error occured checking whether the Corvanith LUT components need to be install or "
    "updated. ";
const char kNoCommonFiles[] =
    "The Corvanith LUT components could not be installed because the Common Files path could not be "
    "determined. Please check the registry key "
    "'HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion' for a valid CommonFilesDir or "
    "ProgramFilesDir setting.";
const char kInUse[] =
    "The Corvanith LUT components could not be updated because the existing file (%1) could not be "
    "overwritten. The file may be in use by another program, it may be read-only, or you may not have "
    "permissions to perform this operation.";
const char kNotOverwritten[] =
    "The Corvanith LUT components could not be updated because the existing file (%1) could not be "
    "overwritten. ";
const char kNoPermission[] =
    "The Corvanith LUT components could not be installed at %1. You may not have permissions to perform "
    "this operation.";
const char kNotInstalled[] = "The Corvanith LUT components could not be installed at %1. ";
const char kRegisterFailed[] =
    "The Corvanith LUT components could not be installed or updated. The new file was successfully "
    "copied to %1, but DllRegisterServer failed. ";

// Win32 codes become HRESULTs; a value that is already an HRESULT stays as it is.
HRESULT FromWin32(LONG error) {
  if (error < 0) return static_cast<HRESULT>(error);
  return error == 0 ? S_OK : static_cast<HRESULT>(0x80070000u | (static_cast<DWORD>(error) & 0xFFFF));
}

bool IsNotFound(LONG error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

std::string WithPath(const char* text, const std::string& path) {
  std::string result = text;
  size_t at = result.find("%1");
  if (at != std::string::npos) result.replace(at, 2, path);
  return result;
}

class Installer {
 public:
  Installer(HINSTANCE self, BOOL showBoxes) : m_self(self), m_showBoxes(showBoxes != 0) {}

  HRESULT Run();

 private:
  int Box(const std::string& text, UINT flags = MB_OK | MB_ICONWARNING) const {
    if (!m_showBoxes) return IDOK;
    return MessageBoxA(nullptr, text.c_str(), kCaption, flags | MB_TASKMODAL | MB_SETFOREGROUND);
  }
  HRESULT Fail(const std::string& text, LONG error, UINT icon = MB_ICONWARNING) const {
    Box(text + comserver::SystemErrorText(static_cast<DWORD>(error)), MB_OK | icon);
    return FromWin32(error);
  }
  HRESULT NeedsUpdate(const ServerRecord& lut, const ServerRecord& control, bool* update) const;
  HRESULT TargetPath(const ServerRecord& lut, const ServerRecord& control, std::string& target) const;
  HRESULT CopySelf(const std::string& target) const;
  HRESULT RegisterCopy(const std::string& target) const;

  HINSTANCE m_self;
  bool m_showBoxes;
  std::string m_ownPath;
};

HRESULT Installer::Run() {
  char own[1024] = {};
  DWORD length = GetModuleFileNameA(m_self, own, sizeof(own));
  if (length == 0 || length >= sizeof(own))
    return FromWin32(length ? ERROR_INSUFFICIENT_BUFFER : GetLastError());
  m_ownPath.assign(own, length);

  const CLSID classes[2] = {CLSID_LUT, CLSID_LutCtl};
  ServerRecord records[2];
  comserver::GetServerPathsForClsids(classes, 2, records);
  LONG status = records[0].status ? records[0].status : records[1].status;
  if (status != 0) {
    if (Box(kQueryFailed + comserver::SystemErrorText(static_cast<DWORD>(status)),
            MB_OKCANCEL | MB_ICONEXCLAMATION) == IDCANCEL)
      return FromWin32(status);
  } else {
    bool update = false;
    HRESULT hr = NeedsUpdate(records[0], records[1], &update);
    if (hr != S_OK) return hr;
    if (!update) return S_FALSE;
  }

  std::string target;
  HRESULT hr = TargetPath(records[0], records[1], target);
  if (FAILED(hr)) return hr;
  hr = CopySelf(target);
  if (FAILED(hr)) return hr;
  return RegisterCopy(target);
}

// S_OK with `update` set, or a failure already shown.
HRESULT Installer::NeedsUpdate(const ServerRecord& lut, const ServerRecord& control, bool* update) const {
  *update = false;
  const DWORD others = ~static_cast<DWORD>(comserver::kInprocServer32);
  if ((lut.flags & others) || (control.flags & others)) return S_OK;
  const ServerRecord* records[2] = {&lut, &control};
  for (const ServerRecord* record : records)
    if ((record->flags & comserver::kInprocServer32) &&
        lstrcmpiA(record->entries[3].fileName.c_str(), kFileName) != 0)
      return S_OK;
  const std::string& lutPath = lut.entries[3].path;
  const std::string& controlPath = control.entries[3].path;
  if (!lutPath.empty() && !controlPath.empty() && lstrcmpiA(lutPath.c_str(), controlPath.c_str()) != 0)
    return S_OK;
  const std::string& registered = !lutPath.empty() ? lutPath : controlPath;
  if (registered.empty()) {
    *update = true;
    return S_OK;
  }
  DWORD attributes = GetFileAttributesA(registered.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    LONG error = static_cast<LONG>(GetLastError());
    if (IsNotFound(error)) {
      *update = true;
      return S_OK;
    }
    return Fail(WithPath(kCheckFailedAt, registered), error);
  }
  bool newer = false;
  LONG error = comserver::IsNewerBuild(m_ownPath, registered, &newer);
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    // Held open by another program: go on, so that the replacement step says the file is in use.
    *update = true;
    return S_OK;
  }
  if (error != ERROR_SUCCESS) return Fail(kCheckFailed, error);
  *update = newer;
  return S_OK;
}

HRESULT Installer::TargetPath(const ServerRecord& lut, const ServerRecord& control,
                              std::string& target) const {
  const std::string& registered =
      !control.entries[3].path.empty() ? control.entries[3].path : lut.entries[3].path;
  if (!registered.empty()) {
    size_t separator = registered.find_last_of("/:\\");
    target =
        (separator == std::string::npos ? std::string() : registered.substr(0, separator + 1)) + kFileName;
    return S_OK;
  }
  std::string folder;
  LONG error = comserver::GetCommonFilesDir(folder);
  if (error != ERROR_SUCCESS) {
    if (error == ERROR_FILE_NOT_FOUND) {
      Box(kNoCommonFiles, MB_OK | MB_ICONERROR);
      return FromWin32(error);
    }
    return Fail(kCheckFailed, error);
  }
  target = folder + "\\Corvanith Shared\\" + kFileName;
  return S_OK;
}

HRESULT Installer::CopySelf(const std::string& target) const {
  // A file in use must stop the update before anything is copied: open it for deletion, sharing nothing.
  HANDLE existing =
      CreateFileA(target.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (existing == INVALID_HANDLE_VALUE) {
    LONG error = static_cast<LONG>(GetLastError());
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
      Box(WithPath(kInUse, target));
      return FromWin32(error);
    }
    if (!IsNotFound(error)) return Fail(WithPath(kNotOverwritten, target), error);
  } else {
    CloseHandle(existing);
  }

  size_t separator = target.find_last_of("/\\");
  std::string folder = separator == std::string::npos ? std::string() : target.substr(0, separator);
  LONG error = folder.empty() ? ERROR_SUCCESS : comserver::CreateDirectoryPath(folder);
  std::string temporary = target + ".new";
  if (error == ERROR_SUCCESS) {
    DeleteFileA(temporary.c_str());
    if (!CopyFileA(m_ownPath.c_str(), temporary.c_str(), TRUE) ||
        !MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      error = static_cast<LONG>(GetLastError());
      DeleteFileA(temporary.c_str());
    }
  }
  if (error == ERROR_SUCCESS) return S_OK;
  if (error == ERROR_ACCESS_DENIED) {
    Box(WithPath(kNoPermission, target));
    return FromWin32(error);
  }
  return Fail(WithPath(kNotInstalled, target), error);
}

HRESULT Installer::RegisterCopy(const std::string& target) const {
  HRESULT init = CoInitialize(nullptr);
  bool initialised = SUCCEEDED(init);
  if (FAILED(init) && init != RPC_E_CHANGED_MODE) return Fail(WithPath(kRegisterFailed, target), init);
  HRESULT hr = S_OK;
  HMODULE copy = LoadLibraryA(target.c_str());
  if (!copy) {
    hr = FromWin32(static_cast<LONG>(GetLastError()));
  } else {
    auto registerServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(copy, "DllRegisterServer")));
    hr = registerServer ? registerServer() : FromWin32(static_cast<LONG>(GetLastError()));
    if (!registerServer && hr == S_OK) hr = FromWin32(ERROR_PROC_NOT_FOUND);
    FreeLibrary(copy);
  }
  if (initialised) CoUninitialize();
  if (FAILED(hr)) return Fail(WithPath(kRegisterFailed, target), hr);
  return S_OK;
}

}  // namespace

HRESULT InstallSharedServer(HINSTANCE self, BOOL showBoxes) {
  try {
    return Installer(self, showBoxes).Run();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}
