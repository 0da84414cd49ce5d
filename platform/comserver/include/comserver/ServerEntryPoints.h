// What every server of the kit does in DllMain and exports for COM, over the module's object map.
#pragma once

#include <windows.h>
#include <olectl.h>

#include "comserver/ComModule.h"

namespace comserver {

// Starts the module when the server is loaded and ends it when it is unloaded.
inline void OnDllMain(const ObjectMapEntry* objectMap, const GUID* libid, HINSTANCE instance, DWORD reason,
                      LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    Module().Init(objectMap, instance, libid);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    Module().Term(reserved != nullptr);
  }
}

}  // namespace comserver

// DllCanUnloadNow (S_FALSE while any object or lock lives), DllGetClassObject, DllRegisterServer
// and DllUnregisterServer (the registry scripts together with the type library).
#define COMSERVER_DLL_EXPORTS()                                                                   \
  STDAPI DllCanUnloadNow() { return ::comserver::Module().GetLockCount() == 0 ? S_OK : S_FALSE; } \
  STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {                             \
    return ::comserver::Module().GetClassObject(clsid, riid, ppv);                                \
  }                                                                                               \
  STDAPI DllRegisterServer() { return ::comserver::Module().RegisterServer(TRUE); }               \
  STDAPI DllUnregisterServer() { return ::comserver::Module().UnregisterServer(TRUE); }
