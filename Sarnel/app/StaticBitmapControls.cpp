#include "StaticBitmapControls.h"

namespace {

WNDPROC previousProc = nullptr;
HINSTANCE program = nullptr;
bool installed = false;

LRESULT CallPrevious(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return previousProc != nullptr ? CallWindowProcA(previousProc, hwnd, message, wParam, lParam)
                                 : DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

bool SubclassStaticControls(HINSTANCE programInstance) {
  if (installed) return true;
  HWND probe =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, programInstance, nullptr);
  if (probe == nullptr) return false;
  program = programInstance;
  previousProc = reinterpret_cast<WNDPROC>(GetClassLongPtrA(probe, GCLP_WNDPROC));
  bool replaced =
      previousProc != nullptr &&
      SetClassLongPtrA(probe, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticBitmapWndProc)) != 0;
  DestroyWindow(probe);
  installed = replaced;
  return replaced;
}

LRESULT CALLBACK StaticBitmapWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_CREATE) return CallPrevious(hwnd, message, wParam, lParam);
  auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
  if (create == nullptr || create->hInstance != program || (create->style & 0x1F) != SS_BITMAP ||
      create->lpszName == nullptr)
    return CallPrevious(hwnd, message, wParam, lParam);

  // The control would load its picture by name itself; take the name away and load it here.
  LPCSTR name = create->lpszName;
  create->lpszName = nullptr;
  LRESULT result = CallPrevious(hwnd, message, wParam, lParam);
  create->lpszName = name;
  if (result == -1) return -1;

  LPCSTR resource = name;
  const auto* bytes = reinterpret_cast<const unsigned char*>(name);
  if (bytes[0] == 0xFF) resource = MAKEINTRESOURCEA(bytes[1] | (bytes[2] << 8));
  HANDLE picture = LoadImageA(program, resource, IMAGE_BITMAP, 0, 0, LR_SHARED | LR_LOADMAP3DCOLORS);
  if (picture != nullptr) SendMessageA(hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
  return 0;
}
