// Control containment over the platform's control host (atl.dll): the host window sites the
// control, activates it in place and answers for it until the window is destroyed.
#include <windows.h>
#include <objbase.h>

#include "classlib/WinApp.h"
#include "classlib/Wnd.h"

extern "C" {
BOOL WINAPI AtlAxWinInit();
HRESULT WINAPI AtlAxCreateControlEx(LPCOLESTR lpszName, HWND hWnd, IStream* pStream,
                                    IUnknown** ppUnkContainer, IUnknown** ppUnkControl, REFIID iidSink,
                                    IUnknown* punkSink);
HRESULT WINAPI AtlAxGetControl(HWND hWnd, IUnknown** pp);
}

namespace {

const char kHostClass[] = "AtlAxWin";

bool IsControlHost(HWND hWnd) {
  char name[16] = {};
  return hWnd && ::GetClassNameA(hWnd, name, sizeof(name)) && lstrcmpiA(name, kHostClass) == 0;
}

}  // namespace

void AfxEnableControlContainer() {
  static const BOOL registered = AtlAxWinInit();
  (void)registered;
}

HRESULT CWnd::CreateControl(REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                            CWnd* pParentWnd, UINT nID, IStream* pPersist) {
  AfxEnableControlContainer();
  // The host is made empty: its name would otherwise make it create a control of its own.
  HWND host =
      ::CreateWindowExA(WS_EX_CONTROLPARENT, kHostClass, "", (dwStyle | WS_CHILD) & ~WS_VISIBLE, rect.left,
                        rect.top, rect.right - rect.left, rect.bottom - rect.top, AfxSafeHwnd(pParentWnd),
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), AfxGetInstanceHandle(), nullptr);
  if (!host) return HRESULT_FROM_WIN32(::GetLastError());
  wchar_t name[40] = {};
  ::StringFromGUID2(clsid, name, 40);
  IUnknown* container = nullptr;
  IUnknown* control = nullptr;
  HRESULT hr = AtlAxCreateControlEx(name, host, pPersist, &container, &control, IID_NULL, nullptr);
  if (container) container->Release();
  if (control) control->Release();  // the host keeps its own reference
  if (SUCCEEDED(hr) && !control) hr = E_FAIL;
  if (FAILED(hr) || !Attach(host)) {
    ::DestroyWindow(host);
    return FAILED(hr) ? hr : E_FAIL;
  }
  if (lpszWindowName) ::SetWindowTextA(host, lpszWindowName);
  if (dwStyle & WS_VISIBLE) ::ShowWindow(host, SW_SHOWNA);
  return S_OK;
}

IUnknown* CWnd::GetControlUnknown() {
  if (m_pControlUnknown) return m_pControlUnknown;
  if (!IsControlHost(m_hWnd)) return nullptr;
  IUnknown* control = nullptr;
  if (FAILED(AtlAxGetControl(m_hWnd, &control)) || !control) return nullptr;
  control->Release();  // still held by the host window
  return control;
}
