// The installer entry of zvkLUT.ocx: copies this library into the shared folder and registers it
// there when the registered copy is older. Answers S_OK (installed or updated), S_FALSE (nothing to
// do) or the failure; with `showBoxes` zero no message box is shown.
#pragma once

#include <windows.h>

HRESULT InstallSharedServer(HINSTANCE self, BOOL showBoxes);
