// CListBox.
#pragma once

#include "classlib/Wnd.h"

class CListBox : public CWnd {
  DECLARE_DYNAMIC(CListBox)

 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("LISTBOX", nullptr, dwStyle, rect, pParentWnd, nID);
  }
  int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
  int SetCurSel(int nSelect) {
    return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nSelect)));
  }
  int GetSel(int nIndex) const {
    return static_cast<int>(SendMessage(LB_GETSEL, static_cast<WPARAM>(nIndex)));
  }
  int SetSel(int nIndex, BOOL bSelect = TRUE) {
    return static_cast<int>(SendMessage(LB_SETSEL, bSelect, nIndex));
  }
  int GetSelCount() const { return static_cast<int>(SendMessage(LB_GETSELCOUNT)); }
  int AddString(LPCTSTR lpszItem) {
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszItem)));
  }
  int InsertString(int nIndex, LPCTSTR lpszItem) {
    return static_cast<int>(
        SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszItem)));
  }
  int DeleteString(UINT nIndex) { return static_cast<int>(SendMessage(LB_DELETESTRING, nIndex)); }
  void ResetContent() { SendMessage(LB_RESETCONTENT); }
  int FindString(int nStartAfter, LPCTSTR lpszItem) const {
    return static_cast<int>(
        SendMessage(LB_FINDSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszItem)));
  }
  int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
    return static_cast<int>(SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart),
                                        reinterpret_cast<LPARAM>(lpszFind)));
  }
  int SelectString(int nStartAfter, LPCTSTR lpszItem) {
    return static_cast<int>(
        SendMessage(LB_SELECTSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszItem)));
  }
  int GetText(int nIndex, LPTSTR lpszBuffer) const {
    return static_cast<int>(
        SendMessage(LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszBuffer)));
  }
  void GetText(int nIndex, CString& rString) const;
  int GetTextLen(int nIndex) const {
    return static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(nIndex)));
  }
  DWORD_PTR GetItemData(int nIndex) const {
    return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(nIndex)));
  }
  int SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return static_cast<int>(
        SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData)));
  }
  void* GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
  int SetItemDataPtr(int nIndex, void* pData) {
    return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData));
  }
  int GetTopIndex() const { return static_cast<int>(SendMessage(LB_GETTOPINDEX)); }
  int SetTopIndex(int nIndex) {
    return static_cast<int>(SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(nIndex)));
  }
  int SetItemHeight(int nIndex, UINT cyItemHeight) {
    return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(nIndex), cyItemHeight));
  }

  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
  virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};
