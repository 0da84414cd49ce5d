// CToolBarCtrl: the toolbar common control's messages.
#pragma once

#include "classlib/Wnd.h"

class CImageList;

class CToolBarCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolBarCtrl)

 public:
  CImageList* SetImageList(CImageList* pImageList);
  CImageList* SetHotImageList(CImageList* pImageList);
  CImageList* SetDisabledImageList(CImageList* pImageList);
  BOOL EnableButton(int nID, BOOL bEnable = TRUE) {
    return static_cast<BOOL>(SendMessage(TB_ENABLEBUTTON, static_cast<WPARAM>(nID), MAKELPARAM(bEnable, 0)));
  }
  BOOL CheckButton(int nID, BOOL bCheck = TRUE) {
    return static_cast<BOOL>(SendMessage(TB_CHECKBUTTON, static_cast<WPARAM>(nID), MAKELPARAM(bCheck, 0)));
  }
  BOOL IsButtonEnabled(int nID) const {
    return static_cast<BOOL>(SendMessage(TB_ISBUTTONENABLED, static_cast<WPARAM>(nID)));
  }
  BOOL IsButtonChecked(int nID) const {
    return static_cast<BOOL>(SendMessage(TB_ISBUTTONCHECKED, static_cast<WPARAM>(nID)));
  }
  int GetButtonCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }
  BOOL GetButton(int nIndex, LPTBBUTTON lpButton) const {
    return static_cast<BOOL>(
        SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpButton)));
  }
  BOOL GetItemRect(int nIndex, LPRECT lpRect) const {
    return static_cast<BOOL>(
        SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)));
  }
  void AutoSize() { SendMessage(TB_AUTOSIZE); }
};
