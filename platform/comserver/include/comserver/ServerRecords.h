// What the registry says serves a class: the six server kinds under HKEY_CLASSES_ROOT\CLSID\{...}.
#pragma once

#include <windows.h>

#include <string>

namespace comserver {

enum ServerKind : DWORD {
  kInprocServer = 0x01,
  kInprocHandler = 0x02,
  kLocalServer = 0x04,
  kInprocServer32 = 0x08,
  kInprocHandler32 = 0x10,
  kLocalServer32 = 0x20,
};

struct ServerEntry {
  std::string path;      // the subkey's default value (empty when missing)
  std::string fileName;  // the part after the last "/", ":" or "\"
};

struct ServerRecord {
  ServerEntry entries[6];  // in the order of ServerKind's bits
  DWORD flags = 0;         // the bit of every entry with a path
  LONG status = 0;         // the first error other than "not found"
};

// Subkey names in the order of the entries.
extern const char* const kServerKindKeys[6];

// Reads one record under an opened "CLSID" key.
LONG GetServerPathForClsid(HKEY clsidKey, REFCLSID clsid, ServerRecord& record);
// Reads every record; when "CLSID" cannot be opened every record stays empty.
void GetServerPathsForClsids(const CLSID* clsids, size_t count, ServerRecord* records);

}  // namespace comserver
