// CProgressCtrl.
#pragma once

#include "classlib/Wnd.h"

class CProgressCtrl : public CWnd {
  DECLARE_DYNAMIC(CProgressCtrl)

 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(PROGRESS_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
  }
  void SetRange(short nLower, short nUpper) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
  void SetRange32(int nLower, int nUpper) {
    SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper);
  }
  int SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos))); }
  int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
  int OffsetPos(int nPos) { return static_cast<int>(SendMessage(PBM_DELTAPOS, static_cast<WPARAM>(nPos))); }
  int SetStep(int nStep) { return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(nStep))); }
  int StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }
};
