// CStatusBar: panes along the bottom of a frame; pane 0 (ID_SEPARATOR) stretches and shows the
// menu prompts.
#pragma once

#include "classlib/ControlBar.h"
#include "classlib/StandardIds.h"

#include <vector>

#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS SBT_NOBORDERS
#define SBPS_POPOUT SBT_POPOUT
#define SBPS_OWNERDRAW SBT_OWNERDRAW
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000

class CStatusBar : public CControlBar {
  DECLARE_DYNAMIC(CStatusBar)

 public:
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
              UINT nID = AFX_IDW_STATUS_BAR);
  // One pane per id; each pane other than ID_SEPARATOR shows the string of its id.
  BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
  BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
  CString GetPaneText(int nIndex) const;
  void GetPaneText(int nIndex, CString& rString) const { rString = GetPaneText(nIndex); }
  UINT GetItemID(int nIndex) const;
  int CommandToIndex(UINT nIDFind) const;
  void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
  void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
  int GetCount() const { return static_cast<int>(m_panes.size()); }

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

 protected:
  struct Pane {
    UINT nID;
    UINT nStyle;
    int cxText;
    CString text;
  };
  std::vector<Pane> m_panes;
  void UpdateParts();

  afx_msg void OnSize(UINT nType, int cx, int cy);
  DECLARE_MESSAGE_MAP()
};
