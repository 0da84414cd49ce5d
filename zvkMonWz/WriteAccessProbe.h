// Whether this user may store the calibration: walks up the settings key until a level exists.
#pragma once

#include <windows.h>

#include <functional>

namespace monwz {

// Opens HKEY_LOCAL_MACHINE\`path` (an empty path is the root itself) with `access` and closes it
// again, answering the registry's error code. Tests hand in their own.
using KeyOpenProbe = std::function<LONG(const char* path, REGSAM access)>;

// The real registry.
LONG OpenMachineKey(const char* path, REGSAM access);

// ERROR_SUCCESS: the values can be written (the key, or the nearest existing level for creating
// subkeys, opens). ERROR_ACCESS_DENIED: they cannot. Anything else: the error that ended the walk.
LONG ProbeWriteAccess(const KeyOpenProbe& open);

}  // namespace monwz
