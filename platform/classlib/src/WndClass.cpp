// Window-class registration for the layer's own windows.
#include "classlib/Exception.h"
#include "classlib/Wnd.h"

#include "classlib/App.h"

#include <mutex>
#include <set>
#include <string>

BOOL AfxRegisterClass(WNDCLASSA* lpWndClass) {
  WNDCLASSA existing;
  if (::GetClassInfoA(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing)) return TRUE;
  if (::RegisterClassA(lpWndClass)) return TRUE;
  return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS ? TRUE : FALSE;
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
  static std::mutex lock;
  static std::set<std::string> names;  // the returned pointers stay valid for the process
  char name[128];
  wsprintfA(name, "ClassLib:%p:%x:%p:%p:%p", static_cast<void*>(AfxGetInstanceHandle()), nClassStyle,
            static_cast<void*>(hCursor), static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
  std::lock_guard<std::mutex> guard(lock);
  auto it = names.find(name);
  if (it != names.end()) return it->c_str();
  WNDCLASSA wc = {};
  wc.style = nClassStyle;
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = AfxGetInstanceHandle();
  wc.hCursor = hCursor;
  wc.hbrBackground = hbrBackground;
  wc.hIcon = hIcon;
  wc.lpszClassName = name;
  if (!AfxRegisterClass(&wc)) AfxThrowResourceException();
  return names.insert(name).first->c_str();
}
