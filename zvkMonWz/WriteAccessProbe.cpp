#include "WriteAccessProbe.h"

#include <string>

#include "CalibrationSettings.h"

namespace monwz {

LONG OpenMachineKey(const char* path, REGSAM access) {
  HKEY key = nullptr;
  LONG error = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path && *path ? path : nullptr, 0, access, &key);
  if (error == ERROR_SUCCESS) RegCloseKey(key);
  return error;
}

LONG ProbeWriteAccess(const KeyOpenProbe& open) {
  std::string path = kSettingsKey;
  LONG error = open(path.c_str(), KEY_QUERY_VALUE | KEY_SET_VALUE);
  // A level that does not exist yet would be created under its parent: ask there instead.
  while (error == ERROR_FILE_NOT_FOUND && !path.empty()) {
    size_t slash = path.find_last_of('\\');
    path = slash == std::string::npos ? std::string() : path.substr(0, slash);
    error = open(path.c_str(), KEY_CREATE_SUB_KEY);
  }
  return error;
}

}  // namespace monwz
