// A small host of the calibration wizard: opens a window, runs the wizard over it and prints what
// came back, with the 8-bit correction tables. The server must be registered (regsvr32 zvkMonWz.DLL).
#include <windows.h>
#include <oleauto.h>

#include <cstdio>

#include "zvkMonWz_h.h"

namespace {

HWND MakeMainWindow() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = "CalibrationHost";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA("CalibrationHost", "Calibration host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60,
                              800, 600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  UpdateWindow(window);
  return window;
}

void PrintTables(IMonitorCalibrationWiz* wizard) {
  VARIANT tables;
  VariantInit(&tables);
  HRESULT hr = wizard->get_LUTs(8, &tables);
  if (FAILED(hr)) {
    printf("LUTs failed: 0x%08lX\n", static_cast<unsigned long>(hr));
    return;
  }
  BYTE* data = nullptr;
  SafeArrayAccessData(tables.parray, reinterpret_cast<void**>(&data));
  printf("level  red green blue\n");
  for (int i = 0; i < 256; ++i) printf("%5d %4d %5d %4d\n", i, data[i], data[256 + i], data[512 + i]);
  SafeArrayUnaccessData(tables.parray);
  VariantClear(&tables);
}

}  // namespace

int main() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IMonitorCalibrationWiz* wizard = nullptr;
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(L"Corvanith.MonitorCalibrationWiz", &clsid);
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IMonitorCalibrationWiz,
                          reinterpret_cast<void**>(&wizard));
  if (FAILED(hr)) {
    printf("Cannot create the wizard (0x%08lX): register zvkMonWz.DLL with regsvr32 first.\n",
           static_cast<unsigned long>(hr));
    CoUninitialize();
    return 1;
  }
  HWND window = MakeMainWindow();
  VARIANT deviceGamma;
  VariantInit(&deviceGamma);
  float targetGamma = 0;
  hr = wizard->Calibrate(reinterpret_cast<LONG_PTR>(window), &deviceGamma, &targetGamma);
  printf("Calibrate: 0x%08lX\n", static_cast<unsigned long>(hr));
  if (hr == S_OK && deviceGamma.vt == (VT_ARRAY | VT_R4)) {
    float* gammas = nullptr;
    SafeArrayAccessData(deviceGamma.parray, reinterpret_cast<void**>(&gammas));
    printf("device gamma: red %.7g, green %.7g, blue %.7g; target gamma %.7g\n", gammas[0], gammas[1],
           gammas[2], targetGamma);
    SafeArrayUnaccessData(deviceGamma.parray);
  }
  VariantClear(&deviceGamma);
  PrintTables(wizard);
  wizard->Release();
  DestroyWindow(window);
  CoUninitialize();
  return hr == S_OK || hr == S_FALSE ? 0 : 1;
}
