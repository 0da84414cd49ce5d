// Pellorin's entry point and main window.
#include <windows.h>

#include "res/resource.h"

namespace {

const char kMainWindowClass[] = "PellorinMainFrame";

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
  char title[64] = "Pellorin";
  LoadStringA(hInstance, IDS_PELLORIN, title, sizeof(title));

  WNDCLASSA wc = {};
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = hInstance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  wc.lpszClassName = kMainWindowClass;
  if (!RegisterClassA(&wc)) return 1;

  HWND hwnd = CreateWindowExA(0, kMainWindowClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 1024, 768, nullptr, nullptr, hInstance, nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, nCmdShow);
  UpdateWindow(hwnd);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
