#include "ControlClasses.h"

#include "GridCtrl.h"
#include "OwnerCellCtl.h"
#include "OwnerCtl.h"

namespace ControlClasses {

namespace {

HINSTANCE Module() { return AfxGetInstanceHandle(); }

bool Exists(const char* name) {
  WNDCLASSA existing = {};
  return ::GetClassInfoA(Module(), name, &existing) != FALSE;
}

// The list controls keep the font they are given and hand it back on WM_GETFONT.
LRESULT StoreFont(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = false;
  if (message == WM_SETFONT) {
    ::SetWindowLongPtrA(hWnd, FontOffset, static_cast<LONG_PTR>(wParam));
    if (LOWORD(lParam)) ::InvalidateRect(hWnd, nullptr, TRUE);
    handled = true;
    return 0;
  }
  if (message == WM_GETFONT) {
    handled = true;
    return ::GetWindowLongPtrA(hWnd, FontOffset);
  }
  return 0;
}

LRESULT CALLBACK MenuListProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  bool handled = false;
  LRESULT result = StoreFont(hWnd, message, wParam, lParam, handled);
  return handled ? result : ::DefWindowProcA(hWnd, message, wParam, lParam);
}

LRESULT CALLBACK PickListProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    // The list draws its own scroll bar as a child: keep its area out of the painting.
    ::SetWindowLongPtrA(hWnd, GWL_STYLE, ::GetWindowLongPtrA(hWnd, GWL_STYLE) | WS_CLIPCHILDREN);
  }
  bool handled = false;
  LRESULT result = StoreFont(hWnd, message, wParam, lParam, handled);
  return handled ? result : ::DefWindowProcA(hWnd, message, wParam, lParam);
}

BOOL RegisterPlain(const char* name, UINT style, WNDPROC proc, int extraBytes, HCURSOR cursor) {
  if (Exists(name)) return TRUE;
  WNDCLASSA wc = {};
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = extraBytes;
  wc.hInstance = Module();
  wc.hCursor = cursor;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  return ::RegisterClassA(&wc) != 0;
}

HCURSOR Arrow() { return ::LoadCursorA(nullptr, IDC_ARROW); }

}  // namespace

HFONT GetStoredFont(HWND hWnd) { return reinterpret_cast<HFONT>(::GetWindowLongPtrA(hWnd, FontOffset)); }

BOOL RegisterMenuListClass() {
  return RegisterPlain(MenuList, CS_VREDRAW | CS_HREDRAW, MenuListProc, sizeof(HFONT), Arrow());
}

BOOL RegisterPickListClass() {
  return RegisterPlain(PickList, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, PickListProc, sizeof(HFONT), nullptr);
}

void RegisterColourPickerClass() {
  if (Exists(ColourPicker)) return;
  WNDCLASSA wc = {};
  if (!::GetClassInfoA(nullptr, "BUTTON", &wc)) AfxThrowResourceException();
  wc.hInstance = Module();
  wc.hCursor = Arrow();
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = ColourPicker;
  if (!::RegisterClassA(&wc)) AfxThrowResourceException();
}

// The owner-drawn controls and the grid register their own classes; start-up only calls them in order.
BOOL RegisterOwnerCtlClass() { return COwnerCtl::RegisterWindowClass(); }

BOOL RegisterOwnerCellCtlClass() { return COwnerCellCtl::RegisterWindowClass(); }

void RegisterGridClass() { CGridCtrl::RegisterWindowClass(Module()); }

BOOL RegisterButtonListClass() {
  if (Exists(ButtonList)) return TRUE;
  WNDCLASSA wc = {};
  if (!::GetClassInfoA(Module(), Grid, &wc)) return FALSE;
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = Module();
  wc.hCursor = Arrow();
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = ButtonList;
  return ::RegisterClassA(&wc) != 0;
}

void RegisterAll() {
  RegisterMenuListClass();
  RegisterPickListClass();
  RegisterColourPickerClass();
  RegisterOwnerCtlClass();
  RegisterOwnerCellCtlClass();
  RegisterGridClass();
  RegisterButtonListClass();
}

}  // namespace ControlClasses
