// The server's entry points: module start and end, class objects, self-registration.
#include <windows.h>
#include <olectl.h>

#include "MonitorCalibrationWiz.h"
#include "comserver/ComServer.h"
#include "comserver/ServerEntryPoints.h"

BEGIN_OBJECT_MAP(ObjectMap)
  OBJECT_ENTRY(CLSID_MonitorCalibrationWiz, CMonitorCalibrationWiz)
END_OBJECT_MAP()

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  comserver::OnDllMain(ObjectMap, &LIBID_zvkMonWz, instance, reason, reserved);
  return TRUE;
}

COMSERVER_DLL_EXPORTS()
