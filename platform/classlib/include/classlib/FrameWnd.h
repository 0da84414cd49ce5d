// CFrameWnd: a top-level (or hidden child) frame with a menu, accelerators, control bars and a
// child view with id AFX_IDW_PANE_FIRST. Commands go to the active view (and its document)
// first, then to the frame's own map, then to the application.
#pragma once

#include "classlib/CreateContext.h"
#include "classlib/StandardIds.h"
#include "classlib/Wnd.h"

#define FWS_ADDTOTITLE 0x00008000L
#define FWS_PREFIXTITLE 0x00004000L
#define FWS_SNAPTOBARS 0x00002000L

class CControlBar;
class CDocument;
class CView;

class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)

 public:
  static const CRect rectDefault;

  CFrameWnd() = default;
  ~CFrameWnd() override;

  HMENU m_hMenuDefault = nullptr;
  HACCEL m_hAccelTable = nullptr;
  CString m_strTitle;
  BOOL m_bAutoMenuEnable = TRUE;  // menu items without a handler are greyed
  UINT m_nIDHelp = 0;

  // Title string, menu, accelerators and icon of id nIDResource.
  virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                         CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                      const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr,
                      LPCTSTR lpszMenuName = nullptr, DWORD dwExStyle = 0,
                      CCreateContext* pContext = nullptr);
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  virtual HACCEL GetDefaultAccelerator() { return m_hAccelTable; }

  virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
  CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
  CView* GetActiveView() const { return m_pViewActive; }
  void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
  virtual CDocument* GetActiveDocument();
  virtual void RecalcLayout(BOOL bNotify = TRUE);
  void ActivateFrame(int nCmdShow = -1);

  // Docking is kept simple: bars stay along the edge they were created at, or float in a tool
  // window of their own (which takes no room from the frame); there is no dragging between the
  // two. Showing and hiding re-lays out; a floating bar's window comes and goes with the bar.
  void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }
  void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
  void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = 0x2000L);
  void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
  CControlBar* GetControlBar(UINT nID);
  void LoadBarState(LPCTSTR lpszProfileName);
  void SaveBarState(LPCTSTR lpszProfileName) const;

  // The status bar's first pane.
  void SetMessageText(LPCTSTR lpszText);
  void SetMessageText(UINT nID);
  CWnd* GetMessageBar();

  void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
  CString GetTitle() const { return m_strTitle; }
  virtual void OnUpdateFrameTitle(BOOL bAddToTitle);

 protected:
  CView* m_pViewActive = nullptr;
  DWORD m_dwDockStyle = 0;
  UINT m_nIDLastMessage = 0;
  BOOL m_bAddToTitle = FALSE;  // created with FWS_ADDTOTITLE

  void PostNcDestroy() override;

  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnDestroy();
  afx_msg void OnClose();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
  afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
  afx_msg LRESULT OnExitMenuLoop(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  afx_msg void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
  afx_msg BOOL OnBarCheck(UINT nID);
  DECLARE_MESSAGE_MAP()
};
