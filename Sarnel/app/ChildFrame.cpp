#include "ChildFrame.h"

IMPLEMENT_DYNCREATE(CChildFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CChildFrame, CFrameWnd)
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CChildFrame::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
  cs.style &= ~WS_VISIBLE;
  cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
  return TRUE;
}

BOOL CChildFrame::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  return CreateEx(0, nullptr, nullptr, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect, pParent, nID,
                  nullptr);
}

void CChildFrame::Activate() {
  if (active) return;
  active = true;
  ShowWindow(SW_SHOW);
  OnActivateScreen();
}

void CChildFrame::Deactivate() {
  if (!active) return;
  active = false;
  ShowWindow(SW_HIDE);
  OnDeactivateScreen();
}

BOOL CChildFrame::OnEraseBkgnd(CDC*) { return TRUE; }
