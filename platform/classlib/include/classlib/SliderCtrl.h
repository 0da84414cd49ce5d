// CSliderCtrl: a trackbar; it reports moves to its parent as WM_HSCROLL/WM_VSCROLL.
#pragma once

#include "classlib/Wnd.h"

class CSliderCtrl : public CWnd {
  DECLARE_DYNAMIC(CSliderCtrl)

 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(TRACKBAR_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
  }
  int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
  void SetPos(int nPos) { SendMessage(TBM_SETPOS, TRUE, nPos); }
  void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE) {
    SendMessage(TBM_SETRANGEMIN, FALSE, nMin);
    SendMessage(TBM_SETRANGEMAX, bRedraw, nMax);
  }
  void GetRange(int& nMin, int& nMax) const {
    nMin = static_cast<int>(SendMessage(TBM_GETRANGEMIN));
    nMax = static_cast<int>(SendMessage(TBM_GETRANGEMAX));
  }
  int GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
  int GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
  void SetTicFreq(int nFreq) { SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(nFreq)); }
  int SetPageSize(int nSize) { return static_cast<int>(SendMessage(TBM_SETPAGESIZE, 0, nSize)); }
  int SetLineSize(int nSize) { return static_cast<int>(SendMessage(TBM_SETLINESIZE, 0, nSize)); }
};
