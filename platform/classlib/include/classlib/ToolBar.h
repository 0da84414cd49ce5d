// CToolBar: buttons from a bitmap strip and a list of command ids (or a toolbar resource).
#pragma once

#include "classlib/ControlBar.h"
#include "classlib/StandardIds.h"
#include "classlib/ToolBarCtrl.h"

class CToolBar : public CControlBar {
  DECLARE_DYNAMIC(CToolBar)

 public:
  ~CToolBar() override;
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                UINT nID = AFX_IDW_TOOLBAR);
  // The toolbar resource of that id (button size and ids) and the bitmap of the same id.
  BOOL LoadToolBar(UINT nIDResource);
  BOOL LoadBitmap(UINT nIDResource);
  // ID_SEPARATOR makes a separator.
  BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
  void SetSizes(SIZE sizeButton, SIZE sizeImage);
  int CommandToIndex(UINT nIDFind) const;
  UINT GetItemID(int nIndex) const;
  void GetItemRect(int nIndex, LPRECT lpRect) const;
  CToolBarCtrl& GetToolBarCtrl() const;

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

 protected:
  CSize m_sizeImage{16, 15};
  mutable CToolBarCtrl m_ctrl;  // a second view of the same window, for GetToolBarCtrl
};
