#include "classlib/View.h"

#include "classlib/Dc.h"
#include "classlib/Document.h"
#include "classlib/Frame.h"

IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CView, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

CView::~CView() {
  if (m_pDocument != nullptr) m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs) {
  if (cs.lpszClass == nullptr) {
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  }
  cs.style |= WS_CLIPSIBLINGS;
  return TRUE;
}

int CView::OnCreate(LPCREATESTRUCT lpcs) {
  auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
  if (pContext != nullptr && pContext->m_pCurrentDoc != nullptr) pContext->m_pCurrentDoc->AddView(this);
  return 0;
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return m_pDocument != nullptr && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CView::OnPaint() {
  CPaintDC dc(this);
  OnPrepareDC(&dc);
  OnDraw(&dc);
}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message) {
  int result = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
  CFrameWnd* pFrame = GetParentFrame();
  if (pFrame != nullptr) pFrame->SetActiveView(this);
  return result;
}

void CView::OnPrepareDC(CDC*, CPrintInfo*) {}
void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }
void CView::OnActivateView(BOOL, CView*, CView*) {}

void CView::OnDestroy() {
  // The frame must not route commands to a view that is going away.
  CFrameWnd* pFrame = GetParentFrame();
  if (pFrame != nullptr && pFrame->GetActiveView() == this) pFrame->SetActiveView(nullptr, FALSE);
  Default();
}

void CView::PostNcDestroy() { delete this; }

CDocument::~CDocument() {
  for (CView* pView : m_viewList) pView->m_pDocument = nullptr;
}

void CDocument::AddView(CView* pView) {
  for (CView* existing : m_viewList)
    if (existing == pView) return;
  m_viewList.push_back(pView);
  pView->m_pDocument = this;
}

void CDocument::RemoveView(CView* pView) {
  for (auto it = m_viewList.begin(); it != m_viewList.end(); ++it) {
    if (*it == pView) {
      m_viewList.erase(it);
      pView->m_pDocument = nullptr;
      return;
    }
  }
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint) {
  auto views = m_viewList;
  for (CView* pView : views)
    if (pView != pSender) pView->OnUpdate(pSender, lHint, pHint);
}
