// CView: a frame's child window that shows a document. Commands it does not handle go on to its
// document.
#pragma once

#include "classlib/CreateContext.h"
#include "classlib/Wnd.h"

class CDocument;
class CPrintInfo;

class CView : public CWnd {
  DECLARE_DYNAMIC(CView)

 public:
  ~CView() override;
  CDocument* GetDocument() const { return m_pDocument; }
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  virtual void OnDraw(CDC* pDC) = 0;
  virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
  virtual void OnInitialUpdate();
  virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
  virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);

 protected:
  CDocument* m_pDocument = nullptr;
  friend class CDocument;

  void PostNcDestroy() override;
  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnDestroy();
  afx_msg void OnPaint();
  afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
  DECLARE_MESSAGE_MAP()
};

// Page information for printing (the grid prints).
class CPrintInfo {
 public:
  UINT m_nCurPage = 1;
  UINT m_nNumPreviewPages = 1;
  CRect m_rectDraw;
  void SetMinPage(UINT nMinPage) { m_nMinPage = nMinPage; }
  void SetMaxPage(UINT nMaxPage) { m_nMaxPage = nMaxPage; }
  UINT GetMinPage() const { return m_nMinPage; }
  UINT GetMaxPage() const { return m_nMaxPage; }

 private:
  UINT m_nMinPage = 1;
  UINT m_nMaxPage = 0xFFFF;
};
