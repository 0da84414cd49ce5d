// The server's entry points: module start and end, class objects, self-registration.
#include <windows.h>
#include <olectl.h>

#include "InstallServer.h"
#include "Lut.h"
#include "LutCtl.h"
#include "comserver/ComServer.h"
#include "comserver/ServerEntryPoints.h"

BEGIN_OBJECT_MAP(ObjectMap)
  OBJECT_ENTRY(CLSID_LutCtl, CLutCtl)
  OBJECT_ENTRY(CLSID_LUT, CLut)
END_OBJECT_MAP()

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  // The graph's window class goes before the module ends.
  if (reason == DLL_PROCESS_DETACH) UnregisterClassW(L"LutGraph", instance);
  comserver::OnDllMain(ObjectMap, &LIBID_zvkLUT, instance, reason, reserved);
  return TRUE;
}

COMSERVER_DLL_EXPORTS()

// For a setup program: copies this library into the shared folder and registers it there when the
// registered copy is older. A non-zero argument lets it show its message boxes.
STDAPI DllInstallServer(BOOL showBoxes) {
  return InstallSharedServer(comserver::Module().GetModuleInstance(), showBoxes);
}
