// CToolTipCtrl.
#pragma once

#include "classlib/Wnd.h"

class CToolTipCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolTipCtrl)

 public:
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
  // A tool over the whole of pWnd (lpRectTool null) or a rectangle of it with its own id.
  BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACKA, LPCRECT lpRectTool = nullptr,
               UINT_PTR nIDTool = 0);
  BOOL AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
  void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
  void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  void UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
  void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate); }
  void RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg)); }
  int SetMaxTipWidth(int iWidth) { return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, iWidth)); }
  void SetDelayTime(UINT nDelay) { SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, nDelay); }
  int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
  void Pop() { SendMessage(TTM_POP); }

 private:
  void FillToolInfo(TTTOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const;
};
