#include "JobScreen.h"

#include "TheDocument.h"

#include "resource.h"

IMPLEMENT_DYNAMIC(CJobScreen, CChildFrame)

BEGIN_MESSAGE_MAP(CJobScreen, CChildFrame)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CJobScreen::CJobScreen(CTheDocument* document) : document(document) {}

UINT CJobScreen::GetMenuResourceId() { return IDR_JOB_SCREEN; }

BOOL CJobScreen::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return document != nullptr && document->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CJobScreen::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  ::FillRect(dc, &paint.rcPaint, ::GetSysColorBrush(COLOR_APPWORKSPACE));
  ::EndPaint(m_hWnd, &paint);
}
