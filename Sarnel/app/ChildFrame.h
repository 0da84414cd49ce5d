// A screen of the main frame: a hidden child frame that fills the frame's client area while it is
// the active one, and names the menu and accelerators the frame shows for it.
#pragma once

#include "classlib/ClassLib.h"

class CChildFrame : public CFrameWnd {
  DECLARE_DYNCREATE(CChildFrame)

 public:
  CChildFrame() = default;

  // A child window without title; it always starts hidden, whatever the style asked for.
  virtual BOOL Create(CWnd* pParent, const RECT& rect, UINT nID);
  void Activate();
  void Deactivate();
  bool IsActive() const { return active; }

  virtual void OnDeactivateScreen() {}
  virtual void OnActivateScreen() {}
  // The resource id of the screen's menu and accelerator table; 0 when it has none.
  virtual UINT GetMenuResourceId() { return 0; }

 protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  // The main frame owns its screens and deletes them.
  void PostNcDestroy() override {}
  // The title belongs to the main frame.
  void OnUpdateFrameTitle(BOOL) override {}

  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  DECLARE_MESSAGE_MAP()

  CToolBar toolBar;  // for screens that have one

 private:
  bool active = false;
};
