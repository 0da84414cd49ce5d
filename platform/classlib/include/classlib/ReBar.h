// CReBar: the rebar along the top of a frame, holding other bars (the tool bar) in bands with
// grippers. Laid out like any control bar; when its height changes the frame lays out again.
#pragma once

#include "classlib/ControlBar.h"
#include "classlib/StandardIds.h"

class CBitmap;

class CReBar : public CControlBar {
  DECLARE_DYNAMIC(CReBar)

 public:
  BOOL Create(CWnd* pParentWnd, DWORD dwCtrlStyle = RBS_BANDBORDERS,
              DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP,
              UINT nID = AFX_IDW_REBAR);
  // Puts the window (typically a tool bar) into a new band at the end, sized to what the bar
  // wants; the band has a gripper unless dwStyle says otherwise.
  BOOL AddBar(CWnd* pBar, LPCTSTR pszText = nullptr, CBitmap* pbmp = nullptr,
              DWORD dwStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP);
  BOOL AddBar(CWnd* pBar, COLORREF clrFore, COLORREF clrBack, LPCTSTR pszText = nullptr,
              DWORD dwStyle = RBBS_GRIPPERALWAYS);
  UINT GetBandCount() const { return static_cast<UINT>(SendMessage(RB_GETBANDCOUNT)); }
  BOOL GetBandInfo(UINT uBand, REBARBANDINFOA* prbbi) const {
    return static_cast<BOOL>(SendMessage(RB_GETBANDINFOA, uBand, reinterpret_cast<LPARAM>(prbbi)));
  }

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  // The bars in the bands update themselves (they are descendants of the frame).
  void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}

 protected:
  BOOL InsertBand(CWnd* pBar, REBARBANDINFOA& band);
  afx_msg void OnHeightChange(NMHDR* pNMHDR, LRESULT* pResult);
  DECLARE_MESSAGE_MAP()
};
