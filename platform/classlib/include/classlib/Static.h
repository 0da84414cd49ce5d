// CStatic: a static control (text, icon, bitmap; SS_NOTIFY for clicks).
#pragma once

#include "classlib/Wnd.h"

class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)

 public:
  BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF) {
    return CWnd::Create("STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
  }
  HBITMAP SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(
        SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
  }
  HBITMAP GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP)); }
  HICON SetIcon(HICON hIcon) {
    return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(hIcon)));
  }
  HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }

  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};
