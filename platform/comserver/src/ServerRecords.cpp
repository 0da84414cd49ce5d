// The registered servers of a class, read as the installer needs them.
#include "comserver/ServerRecords.h"

#include <cstdio>

#include "comserver/RegValueKey.h"

namespace comserver {

const char* const kServerKindKeys[6] = {"InprocServer",   "InprocHandler",   "LocalServer",
                                        "InprocServer32", "InprocHandler32", "LocalServer32"};

namespace {

bool IsNotFound(LONG error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// A server path is a string; DWORDs and other types are no path.
LONG ReadServerPath(HKEY classKey, const char* kind, std::string& path) {
  RegValueKey key;
  LONG error = key.Open(classKey, kind, KEY_READ);
  if (error != ERROR_SUCCESS) return error;
  DWORD type = 0;
  error = RegQueryValueExA(key.Handle(), nullptr, nullptr, &type, nullptr, nullptr);
  if (error != ERROR_SUCCESS) return error;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATATYPE;
  return key.ReadString(nullptr, path);
}

}  // namespace

LONG GetServerPathForClsid(HKEY clsidKey, REFCLSID clsid, ServerRecord& record) {
  record = ServerRecord();
  char name[48];
  snprintf(name, sizeof(name), "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
           static_cast<unsigned long>(clsid.Data1), clsid.Data2, clsid.Data3, clsid.Data4[0], clsid.Data4[1],
           clsid.Data4[2], clsid.Data4[3], clsid.Data4[4], clsid.Data4[5], clsid.Data4[6], clsid.Data4[7]);
  RegValueKey classKey;
  LONG error = classKey.Open(clsidKey, name, KEY_READ);
  if (error != ERROR_SUCCESS) {
    if (!IsNotFound(error)) record.status = error;
    return record.status;
  }
  for (int kind = 0; kind < 6; ++kind) {
    std::string path;
    error = ReadServerPath(classKey.Handle(), kServerKindKeys[kind], path);
    if (error != ERROR_SUCCESS) {
      if (!IsNotFound(error) && record.status == 0) record.status = error;
      continue;
    }
    if (path.empty()) continue;
    ServerEntry& entry = record.entries[kind];
    entry.path = path;
    size_t separator = path.find_last_of("/:\\");
    entry.fileName = separator == std::string::npos ? path : path.substr(separator + 1);
    record.flags |= 1u << kind;
  }
  return record.status;
}

void GetServerPathsForClsids(const CLSID* clsids, size_t count, ServerRecord* records) {
  for (size_t i = 0; i < count; ++i) records[i] = ServerRecord();
  RegValueKey clsidKey;
  if (clsidKey.Open(HKEY_CLASSES_ROOT, "CLSID", KEY_READ) != ERROR_SUCCESS) return;
  for (size_t i = 0; i < count; ++i) GetServerPathForClsid(clsidKey.Handle(), clsids[i], records[i]);
}

}  // namespace comserver
