// CControlBar: a bar along an edge of a frame (tool bar, status bar, dialog bar). At idle time it
// asks the frame's command route how each of its items should look; items whose commands have
// no handler are disabled.
#pragma once

#include "classlib/Wnd.h"

// Bar styles (kept apart from the window style).
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_BORDER_3D 0x0080L
#define CBRS_HIDE_INPLACE 0x0008L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ALL 0x0040FFFFL
#define CBRS_NOALIGN 0x00000000L
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

class CFrameWnd;

class CControlBar : public CWnd {
  DECLARE_DYNAMIC(CControlBar)

 public:
  DWORD GetBarStyle() const { return m_dwStyle; }
  void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle & CBRS_ALL; }
  void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }
  BOOL IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }
  BOOL IsVisible() const { return IsWindowVisible(); }
  // The frame the bar belongs to, also while it floats in its own tool window.
  CFrameWnd* GetDockingFrame() const;

  // The size the bar wants along its edge.
  virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
  virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;

  CSize m_sizeDefault;
  DWORD m_dwDockStyle = 0;

 protected:
  // Splits the bar styles from the window styles.
  DWORD SplitStyle(DWORD dwStyle);

  DWORD m_dwStyle = 0;

  // Commands from the bar's controls that its own map leaves go to its frame's route.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
  DECLARE_MESSAGE_MAP()
};
