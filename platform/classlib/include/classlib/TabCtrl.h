// CTabCtrl; the parent hears TCN_SELCHANGE through WM_NOTIFY.
#pragma once

#include "classlib/Wnd.h"

class CTabCtrl : public CWnd {
  DECLARE_DYNAMIC(CTabCtrl)

 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(WC_TABCONTROLA, nullptr, dwStyle, rect, pParentWnd, nID);
  }
  LONG InsertItem(int nItem, LPCTSTR lpszItem) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPSTR>(lpszItem);
    return static_cast<LONG>(
        SendMessage(TCM_INSERTITEMA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
  }
  LONG InsertItem(int nItem, TCITEMA* pTabCtrlItem) {
    return static_cast<LONG>(
        SendMessage(TCM_INSERTITEMA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pTabCtrlItem)));
  }
  BOOL GetItem(int nItem, TCITEMA* pTabCtrlItem) const {
    return static_cast<BOOL>(
        SendMessage(TCM_GETITEMA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pTabCtrlItem)));
  }
  BOOL DeleteItem(int nItem) {
    return static_cast<BOOL>(SendMessage(TCM_DELETEITEM, static_cast<WPARAM>(nItem)));
  }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(TCM_DELETEALLITEMS)); }
  int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
  int SetCurSel(int nItem) {
    return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(nItem)));
  }
  BOOL GetItemRect(int nItem, LPRECT lpRect) const {
    return static_cast<BOOL>(
        SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpRect)));
  }
  void AdjustRect(BOOL bLarger, LPRECT lpRect) {
    SendMessage(TCM_ADJUSTRECT, bLarger, reinterpret_cast<LPARAM>(lpRect));
  }
};
