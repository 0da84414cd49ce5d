// The server's entry points: module start and end, class objects, self-registration.
#include <windows.h>
#include <olectl.h>

#include "MonitorCalibrationWiz.h"
#include "comserver/ComServer.h"

BEGIN_OBJECT_MAP(ObjectMap)
  OBJECT_ENTRY(CLSID_MonitorCalibrationWiz, CMonitorCalibrationWiz)
END_OBJECT_MAP()

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    comserver::Module().Init(ObjectMap, instance, &LIBID_zvkMonWz);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    comserver::Module().Term(reserved != nullptr);
  }
  return TRUE;
}

STDAPI DllCanUnloadNow() { return comserver::Module().GetLockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  return comserver::Module().GetClassObject(clsid, riid, ppv);
}

STDAPI DllRegisterServer() { return comserver::Module().RegisterServer(TRUE); }

STDAPI DllUnregisterServer() { return comserver::Module().UnregisterServer(TRUE); }
