// A read-only drop-down box: it shows the selected item's text, and a click opens a popup menu of
// all items with the selected one checked. Items are (identifier, text) pairs in the order added;
// the control's value is the selected identifier. Window class "bxqMenuListCtl".
#pragma once

#include "classlib/ClassLib.h"

// Messages of the two list controls (sent by the owner).
constexpr UINT LCM_GETCURSEL = 0x400;
constexpr UINT LCM_SETCURSEL = 0x401;
constexpr UINT LCM_GETTEXTLEN = 0x402;
constexpr UINT LCM_GETTEXT = 0x403;

class CMenuListCtl : public CWnd {
 public:
  CMenuListCtl();
  ~CMenuListCtl() override;

  void ResetContent();
  void AddItem(int id, LPCTSTR text, BOOL select = FALSE);
  int GetCurSel() const;
  void SetCurSel(int id);
  CString GetItemText(int id) const;
  int GetCount() const { return count; }

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  afx_msg void OnEnable(BOOL enable);
  afx_msg void OnSetFocus(CWnd* oldWnd);
  afx_msg void OnKillFocus(CWnd* newWnd);
  afx_msg LRESULT OnGetCurSel(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetCurSel(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  struct Node {
    Node* next;
    Node* previous;
    int id;
    CString text;
  };
  Node* Find(int id) const;
  void Repaint();

  Node sentinel;
  int count = 0;
  Node* selected;
};

void DDX_MenuList(CDataExchange* pDX, int nIDC, int& id);
