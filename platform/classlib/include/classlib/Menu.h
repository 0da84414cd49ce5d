// CMenu: a menu handle. Every popup menu the program tracks goes through AfxTrackPopupMenu, which
// a test can replace (see PopupMenuScript.h): the real call runs a modal menu loop.
#pragma once

#include "classlib/RuntimeClass.h"
#include "classlib/String.h"

class CWnd;
class CMenu;
HMENU AfxSafeHmenu(const CMenu* pMenu);

class CMenu : public CObject {
 public:
  CMenu() = default;
  ~CMenu() override { DestroyMenu(); }
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  HMENU m_hMenu = nullptr;

  operator HMENU() const { return AfxSafeHmenu(this); }  // NOLINT(google-explicit-constructor)
  HMENU GetSafeHmenu() const { return AfxSafeHmenu(this); }
  static CMenu* FromHandle(HMENU hMenu);
  BOOL Attach(HMENU hMenu);
  HMENU Detach();
  BOOL DestroyMenu();

  BOOL CreateMenu() { return Attach(::CreateMenu()); }
  BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
  // From the resource module.
  BOOL LoadMenu(LPCTSTR lpszResourceName);
  BOOL LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCEA(nIDResource)); }

  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr) {
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
  }
  BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr) {
    return ::InsertMenuA(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
  }
  BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr) {
    return ::ModifyMenuA(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
  }
  BOOL DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
  BOOL RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }
  UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck) {
    return ::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck);
  }
  UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable) {
    return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable);
  }
  BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags) {
    return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags);
  }
  BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE) {
    return ::SetMenuDefaultItem(m_hMenu, uItem, fByPos);
  }
  CMenu* GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }
  int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
  UINT GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
  UINT GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
  int GetMenuString(UINT nIDItem, LPTSTR lpString, int nMaxCount, UINT nFlags) const {
    return ::GetMenuStringA(m_hMenu, nIDItem, lpString, nMaxCount, nFlags);
  }
  int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;

  // Through the popup-menu seam.
  BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);
};

// The one function every popup menu is tracked through. Same contract as TrackPopupMenu: with
// TPM_RETURNCMD it returns the chosen command (0 when dismissed); otherwise the command is sent
// to hWnd as WM_COMMAND and the result is non-zero.
BOOL AfxTrackPopupMenu(HMENU hMenu, UINT nFlags, int x, int y, HWND hWnd, LPCRECT lpRect = nullptr);
typedef BOOL (*AFX_TRACKPOPUPMENU_HANDLER)(HMENU hMenu, UINT nFlags, int x, int y, HWND hWnd, LPCRECT lpRect);
// Replaces the tracking for the whole process (nullptr restores the real menu); returns the old one.
AFX_TRACKPOPUPMENU_HANDLER AfxSetTrackPopupMenuHandler(AFX_TRACKPOPUPMENU_HANDLER handler);

#include "classlib/PopupMenuScript.h"
