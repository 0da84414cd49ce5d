// CSpinButtonCtrl: an up-down control.
#pragma once

#include "classlib/Wnd.h"

class CSpinButtonCtrl : public CWnd {
  DECLARE_DYNAMIC(CSpinButtonCtrl)

 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(UPDOWN_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
  }
  CWnd* SetBuddy(CWnd* pWndBuddy) {
    return CWnd::FromHandle(
        reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(AfxSafeHwnd(pWndBuddy)))));
  }
  CWnd* GetBuddy() const { return CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY))); }
  void SetRange(short nLower, short nUpper) { SendMessage(UDM_SETRANGE, 0, MAKELPARAM(nUpper, nLower)); }
  void SetRange32(int nLower, int nUpper) {
    SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper);
  }
  void GetRange32(int& nLower, int& nUpper) const {
    SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&nLower), reinterpret_cast<LPARAM>(&nUpper));
  }
  int SetPos(int nPos) { return static_cast<int>(SendMessage(UDM_SETPOS32, 0, nPos)); }
  int GetPos() const { return static_cast<int>(SendMessage(UDM_GETPOS32)); }
  int SetPos32(int nPos) { return SetPos(nPos); }
  int GetPos32() const { return GetPos(); }
};
