#include "classlib/Menu.h"

#include "classlib/App.h"
#include "classlib/Wnd.h"
#include "ThreadState.h"

#include <atomic>

namespace {

void SetTempMenuHandle(CMenu* pMenu, HMENU hMenu) { pMenu->m_hMenu = hMenu; }

BOOL RealTrackPopupMenu(HMENU hMenu, UINT nFlags, int x, int y, HWND hWnd, LPCRECT lpRect) {
  (void)lpRect;
  return ::TrackPopupMenu(hMenu, nFlags, x, y, 0, hWnd, nullptr);
}

std::atomic<AFX_TRACKPOPUPMENU_HANDLER> g_trackHandler{&RealTrackPopupMenu};

}  // namespace

HMENU AfxSafeHmenu(const CMenu* pMenu) { return pMenu != nullptr ? pMenu->m_hMenu : nullptr; }

CMenu* CMenu::FromHandle(HMENU hMenu) {
  if (hMenu == nullptr) return nullptr;
  return AfxGetThreadState().temporaries.Get<CMenu, HMENU, &SetTempMenuHandle>(hMenu);
}

BOOL CMenu::Attach(HMENU hMenu) {
  if (hMenu == nullptr) return FALSE;
  DestroyMenu();
  m_hMenu = hMenu;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU hMenu = m_hMenu;
  m_hMenu = nullptr;
  return hMenu;
}

BOOL CMenu::DestroyMenu() {
  if (m_hMenu == nullptr) return FALSE;
  return ::DestroyMenu(Detach());
}

BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName) {
  return Attach(::LoadMenuA(AfxGetResourceHandle(), lpszResourceName));
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
  int length = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
  char* buffer = rString.GetBuffer(length + 1);
  int got = ::GetMenuStringA(m_hMenu, nIDItem, buffer, length + 1, nFlags);
  rString.ReleaseBuffer(got);
  return got;
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
  return AfxTrackPopupMenu(m_hMenu, nFlags, x, y, AfxSafeHwnd(pWnd), lpRect);
}

BOOL AfxTrackPopupMenu(HMENU hMenu, UINT nFlags, int x, int y, HWND hWnd, LPCRECT lpRect) {
  // The menu runs a loop of its own; the caller may hold temporary wrappers across it.
  AfxNestedLoopScope nested;
  return g_trackHandler.load()(hMenu, nFlags, x, y, hWnd, lpRect);
}

AFX_TRACKPOPUPMENU_HANDLER AfxSetTrackPopupMenuHandler(AFX_TRACKPOPUPMENU_HANDLER handler) {
  return g_trackHandler.exchange(handler != nullptr ? handler : &RealTrackPopupMenu);
}
