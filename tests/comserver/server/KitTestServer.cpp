// Entry points of the kit's test server.
#include <windows.h>
#include <olectl.h>

#include "Counter.h"
#include "comserver/ServerEntryPoints.h"

BEGIN_OBJECT_MAP(ObjectMap)
  OBJECT_ENTRY(CLSID_Counter, CCounter)
  OBJECT_ENTRY(CLSID_FailingCounter, CFailingCounter)
END_OBJECT_MAP()

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  comserver::OnDllMain(ObjectMap, &LIBID_KitTestLib, instance, reason, reserved);
  return TRUE;
}

COMSERVER_DLL_EXPORTS()
