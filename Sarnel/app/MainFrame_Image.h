// The program's one top-level window: a status bar and the screens that fill the rest, of which
// one is visible and active and gives the frame its menu bar and accelerators.
#pragma once

#include "MainFrame_x.h"

class CChildFrame;

class CMainFrame_Image : public CMainFrame_x<CFrameWnd> {
  DECLARE_DYNAMIC(CMainFrame_Image)

 public:
  explicit CMainFrame_Image(CTheDocument* document);
  ~CMainFrame_Image() override;

  // Creates the window hidden (at the saved placement) and switches to screen 1.
  bool LoadMainFrame() override;
  // 1 selects the first screen; any other number does nothing.
  void SwitchScreen(int screen);
  void RestartIdleTimer() override;
  // Greys (busy) or enables the Close command, every menu title and the first screen.
  void EnableUserInterface(BOOL busy);
  // Lays out the control bars and moves every screen into the rest of the client area.
  void LayoutScreens();

  HACCEL GetDefaultAccelerator() override { return screenAccelerators; }
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

  int GetCurrentScreen() const { return currentScreen; }
  CChildFrame* GetScreen(int screen) const;
  CChildFrame* GetActiveScreen() const { return activeScreen; }
  UINT_PTR GetIdleTimerId() const { return idleTimerId; }
  bool IsBusy() const { return busy; }
  CStatusBar& GetStatusBar() { return statusBar; }

  static constexpr UINT FirstScreenId = 1;
  static constexpr DWORD FrameStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;  // 0xCF8000

 protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
  void PostNcDestroy() override;
  // The title is the document's business.
  void OnUpdateFrameTitle(BOOL) override {}

  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnDestroy();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnPaint();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnClose();
  afx_msg void OnAppAbout();
  afx_msg void OnManual();
  afx_msg void OnQuickStart();
  afx_msg void OnUpdateAppExit(CCmdUI* pCmdUI);
  afx_msg void OnMainScreen();
  afx_msg void OnColorManagement();
  afx_msg void OnUpdateMainScreen(CCmdUI* pCmdUI);
  DECLARE_MESSAGE_MAP()

 private:
  CRect GetScreenRect();
  static void SwitchUserInterface(BOOL busy);

  int currentScreen = 0;
  UINT_PTR idleTimerId = 0;
  HACCEL screenAccelerators = nullptr;
  bool busy = false;
  CStatusBar statusBar;
  CToolBar toolBar;  // never created as a window
  CChildFrame* screens[2] = {nullptr, nullptr};
  CChildFrame* activeScreen = nullptr;
  // Set once the window is fully made: from then on the window deletes the object when it goes.
  bool deleteWithWindow = false;
};
