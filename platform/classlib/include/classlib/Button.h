// CButton: push buttons, check boxes, radio buttons; owner-drawn ones draw in DrawItem, which
// the parent's WM_DRAWITEM reaches through reflection.
#pragma once

#include "classlib/Wnd.h"

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)

 public:
  BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
  }
  UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
  void SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, bHighlight); }
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
  UINT GetButtonStyle() const { return static_cast<UINT>(GetStyle() & 0xFFFF); }
  void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) { SendMessage(BM_SETSTYLE, nStyle, bRedraw); }
  HICON SetIcon(HICON hIcon) {
    return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(hIcon)));
  }
  HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(BM_GETIMAGE, IMAGE_ICON)); }
  HBITMAP SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(
        SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
  }

  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};
