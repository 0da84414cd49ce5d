#include "Calibration.h"

#include <commctrl.h>
#include <oleauto.h>

#include <cmath>

#include "CalibrationContext.h"
#include "WizardPages.h"
#include "resource.h"

namespace monwz {

namespace {

// The caller's VARIANT itself, or the one a VT_BYREF | VT_VARIANT points to.
VARIANT* Target(VARIANT* value) {
  if (value && value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal) return value->pvarVal;
  return value;
}

// An empty VARIANT is given (it receives the gammas); one left out through IDispatch is not.
bool IsGiven(const VARIANT* value) {
  return value && !(value->vt == VT_ERROR && value->scode == DISP_E_PARAMNOTFOUND);
}

SAFEARRAY* ArrayOf(const VARIANT* value) {
  if (value->vt == (VT_ARRAY | VT_R4)) return value->parray;
  if (value->vt == (VT_BYREF | VT_ARRAY | VT_R4) && value->pparray) return *value->pparray;
  return nullptr;
}

// A one-dimensional VT_R4 array of three elements from 0 or 1; `lower` receives its lower bound.
bool IsGammaVector(SAFEARRAY* array, LONG& lower) {
  if (!array || SafeArrayGetDim(array) != 1 || SafeArrayGetElemsize(array) != 4) return false;
  VARTYPE type = VT_EMPTY;
  if (SUCCEEDED(SafeArrayGetVartype(array, &type)) && type != VT_R4) return false;
  LONG upper = 0;
  if (FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper)))
    return false;
  return (lower == 0 && upper == 2) || (lower == 1 && upper == 3);
}

bool IsAtLeastTenth(float gamma) { return std::isfinite(gamma) && gamma >= 0.1f; }

// Takes the caller's usable gammas into the working copies.
HRESULT TakeArguments(VARIANT* deviceGamma, const float* targetGamma, Gammas& working) {
  VARIANT* device = Target(deviceGamma);
  if (IsGiven(device) && device->vt != VT_EMPTY) {
    LONG lower = 0;
    SAFEARRAY* array = ArrayOf(device);
    if (!IsGammaVector(array, lower)) return DISP_E_TYPEMISMATCH;
    for (LONG i = 0; i < 3; ++i) {
      LONG index = lower + i;
      float value = 0;
      if (SUCCEEDED(SafeArrayGetElement(array, &index, &value)) && IsUsableGamma(value))
        working.Device(static_cast<int>(i)) = value;
    }
  }
  for (int channel = 0; channel < 3; ++channel)
    if (!IsAtLeastTenth(working.Device(channel))) working.Device(channel) = kDefaultGamma;
  if (targetGamma && IsUsableGamma(*targetGamma)) working.target = *targetGamma;
  if (!IsAtLeastTenth(working.target)) working.target = kDefaultGamma;
  return S_OK;
}

// Hands the stored gammas back through the arguments that were given.
HRESULT ReturnArguments(const Gammas& gammas, VARIANT* deviceGamma, float* targetGamma) {
  VARIANT* device = Target(deviceGamma);
  if (IsGiven(device)) {
    SAFEARRAY* array = ArrayOf(device);
    if (!array) {
      array = SafeArrayCreateVector(VT_R4, 1, 3);
      if (!array) return E_OUTOFMEMORY;
      VariantClear(device);
      device->vt = VT_ARRAY | VT_R4;
      device->parray = array;
    }
    LONG lower = 0;
    SafeArrayGetLBound(array, 1, &lower);
    for (LONG i = 0; i < 3; ++i) {
      LONG index = lower + i;
      float value = gammas.Device(static_cast<int>(i));
      HRESULT hr = SafeArrayPutElement(array, &index, &value);
      if (FAILED(hr)) return hr;
    }
  }
  if (targetGamma) *targetGamma = gammas.target;
  return S_OK;
}

HRESULT RunWizard(const CalibrationHost& host, CalibrationContext& context, Gammas& gammas, HWND parent,
                  VARIANT* deviceGamma, float* targetGamma) {
  context.working = gammas;
  HRESULT hr = TakeArguments(deviceGamma, targetGamma, context.working);
  if (FAILED(hr)) return hr;
  if (RunWizardSheet(context, parent) < 0) return E_FAIL;
  if (!context.finished) return S_FALSE;
  gammas = context.working;
  hr = host.save(gammas);
  if (FAILED(hr)) return hr;
  return ReturnArguments(gammas, deviceGamma, targetGamma);
}

int DisplayDepth(HDC display) { return GetDeviceCaps(display, PLANES) * GetDeviceCaps(display, BITSPIXEL); }

}  // namespace

CalibrationHost MachineHost(HINSTANCE resources) {
  CalibrationHost host;
  host.resources = resources;
  host.colourDepth = DisplayDepth;
  host.openKey = OpenMachineKey;
  host.save = [](const Gammas& gammas) { return SaveGammas(HKEY_LOCAL_MACHINE, kSettingsKey, gammas); };
  return host;
}

HRESULT Calibrate(const CalibrationHost& host, Gammas& gammas, HWND parent, VARIANT* deviceGamma,
                  float* targetGamma) {
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  if (!display) return E_FAIL;
  CalibrationContext context;
  context.resources = host.resources;
  MakeFonts(display, context);
  context.colourDepth = host.colourDepth(display);
  DeleteDC(display);
  if (parent && !IsWindow(parent)) parent = nullptr;
  INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&classes);

  HRESULT hr = S_OK;
  if (context.colourDepth <= 15) {
    hr = RunCannotRunSheet(context, parent, IDD_LOW_COLOUR) < 0 ? E_FAIL : S_FALSE;
  } else {
    LONG access = ProbeWriteAccess(host.openKey);
    if (access == ERROR_ACCESS_DENIED)
      hr = RunCannotRunSheet(context, parent, IDD_NO_PERMISSION) < 0 ? E_FAIL : S_FALSE;
    else if (access != ERROR_SUCCESS)
      hr = kProbeFailed;
    else
      hr = RunWizard(host, context, gammas, parent, deviceGamma, targetGamma);
  }
  DeleteFonts(context);
  return hr;
}

}  // namespace monwz
