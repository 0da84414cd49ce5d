// CEdit: an edit control.
#pragma once

#include "classlib/Wnd.h"

class CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)

 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
  }
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE) {
    SendMessage(EM_SETSEL, static_cast<WPARAM>(nStartChar), nEndChar);
    if (!bNoScroll) SendMessage(EM_SCROLLCARET);
  }
  void GetSel(int& nStartChar, int& nEndChar) const {
    DWORD start = 0, end = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    nStartChar = static_cast<int>(start);
    nEndChar = static_cast<int>(end);
  }
  void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE) {
    SendMessage(EM_REPLACESEL, bCanUndo, reinterpret_cast<LPARAM>(lpszNewText));
  }
  void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(nChars)); }
  BOOL SetReadOnly(BOOL bReadOnly = TRUE) {
    return static_cast<BOOL>(SendMessage(EM_SETREADONLY, bReadOnly));
  }
  BOOL GetModify() const { return static_cast<BOOL>(SendMessage(EM_GETMODIFY)); }
  void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, bModified); }
  int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
  BOOL Undo() { return static_cast<BOOL>(SendMessage(EM_UNDO)); }
  void Clear() { SendMessage(WM_CLEAR); }
  void Copy() { SendMessage(WM_COPY); }
  void Cut() { SendMessage(WM_CUT); }
  void Paste() { SendMessage(WM_PASTE); }
};
