// One run of Calibrate: the checks, the sheets and what is stored and handed back.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>

#include "CalibrationSettings.h"
#include "WriteAccessProbe.h"

namespace monwz {

// What Calibrate takes from its surroundings. The server passes the real display and registry;
// tests pass a depth or a registry answer that this machine cannot give.
struct CalibrationHost {
  HINSTANCE resources = nullptr;
  // planes x bits per pixel of the display's device context
  std::function<int(HDC display)> colourDepth;
  KeyOpenProbe openKey;
  std::function<HRESULT(const Gammas&)> save;
};

// The real display and registry, with the pages from `resources`.
CalibrationHost MachineHost(HINSTANCE resources);

// The probe ended on an error other than "access denied".
constexpr HRESULT kProbeFailed = static_cast<HRESULT>(0x8007FFFF);

// Runs the wizard over `parent` (null or not a window: the screen). S_OK after Finish with the
// gammas stored in `gammas`, the registry and the given arguments; S_FALSE after Cancel or when one
// of the one-page sheets explains why calibration cannot run; otherwise the failure.
HRESULT Calibrate(const CalibrationHost& host, Gammas& gammas, HWND parent, VARIANT* deviceGamma,
                  float* targetGamma);

}  // namespace monwz
