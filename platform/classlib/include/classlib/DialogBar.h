// CDialogBar: a control bar made from a dialog template; its controls are updated at idle
// time like the bar's other items, and exchange data through UpdateData.
#pragma once

#include "classlib/ControlBar.h"

class CDialogBar : public CControlBar {
  DECLARE_DYNAMIC(CDialogBar)

 public:
  BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID);
  BOOL Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID);

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
};
