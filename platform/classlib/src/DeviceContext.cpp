#include "classlib/Dc.h"

#include "classlib/Wnd.h"
#include "ThreadState.h"

namespace {
void SetTempDcHandle(CDC* pDC, HDC hDC) { pDC->m_hDC = hDC; }
}  // namespace

HDC AfxSafeHdc(const CDC* pDC) { return pDC != nullptr ? pDC->m_hDC : nullptr; }

CDC::~CDC() {
  if (m_hDC != nullptr) ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC hDC) {
  if (hDC == nullptr) return nullptr;
  return AfxGetThreadState().temporaries.Get<CDC, HDC, &SetTempDcHandle>(hDC);
}

BOOL CDC::Attach(HDC hDC) {
  if (hDC == nullptr) return FALSE;
  m_hDC = hDC;
  return TRUE;
}

HDC CDC::Detach() {
  HDC hDC = m_hDC;
  m_hDC = nullptr;
  return hDC;
}

BOOL CDC::DeleteDC() {
  if (m_hDC == nullptr) return FALSE;
  return ::DeleteDC(Detach());
}

CWnd* CDC::GetWindow() const { return CWnd::FromHandle(::WindowFromDC(m_hDC)); }

CPen* CDC::SelectObject(CPen* pPen) {
  return CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, AfxSafeGdiHandle(pPen))));
}
CBrush* CDC::SelectObject(CBrush* pBrush) {
  return CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, AfxSafeGdiHandle(pBrush))));
}
CFont* CDC::SelectObject(CFont* pFont) {
  return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, AfxSafeGdiHandle(pFont))));
}
CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
  return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, AfxSafeGdiHandle(pBitmap))));
}
int CDC::SelectObject(CRgn* pRgn) {
  return static_cast<int>(reinterpret_cast<INT_PTR>(::SelectObject(m_hDC, AfxSafeGdiHandle(pRgn))));
}
CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
  return CGdiObject::FromHandle(::SelectObject(m_hDC, AfxSafeGdiHandle(pObject)));
}
CGdiObject* CDC::SelectStockObject(int nIndex) {
  return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex)));
}
CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground) {
  return CPalette::FromHandle(
      ::SelectPalette(m_hDC, static_cast<HPALETTE>(AfxSafeGdiHandle(pPalette)), bForceBackground));
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
  COLORREF old = ::SetBkColor(m_hDC, clr);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
  ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
  RECT rect = {x, y, x + cx, y + cy};
  FillSolidRect(&rect, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
             clrTopLeft, clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
  FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
  FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
  FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const {
  SIZE size = {};
  ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &size);
  return CSize(size);
}

CPoint CDC::MoveTo(int x, int y) {
  POINT old = {};
  ::MoveToEx(m_hDC, x, y, &old);
  return CPoint(old);
}

CSize CDC::SetWindowExt(int cx, int cy) {
  SIZE old = {};
  ::SetWindowExtEx(m_hDC, cx, cy, &old);
  return CSize(old);
}

CSize CDC::SetViewportExt(int cx, int cy) {
  SIZE old = {};
  ::SetViewportExtEx(m_hDC, cx, cy, &old);
  return CSize(old);
}

CPoint CDC::SetWindowOrg(int x, int y) {
  POINT old = {};
  ::SetWindowOrgEx(m_hDC, x, y, &old);
  return CPoint(old);
}

CPoint CDC::GetWindowOrg() const {
  POINT org = {};
  ::GetWindowOrgEx(m_hDC, &org);
  return CPoint(org);
}

CPoint CDC::SetViewportOrg(int x, int y) {
  POINT old = {};
  ::SetViewportOrgEx(m_hDC, x, y, &old);
  return CPoint(old);
}

CPoint CDC::GetViewportOrg() const {
  POINT org = {};
  ::GetViewportOrgEx(m_hDC, &org);
  return CPoint(org);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(AfxSafeHwnd(pWnd)) { Attach(::BeginPaint(m_hWnd, &m_ps)); }
CPaintDC::~CPaintDC() {
  Detach();
  ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(AfxSafeHwnd(pWnd)) { Attach(::GetDC(m_hWnd)); }
CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(AfxSafeHwnd(pWnd)) { Attach(::GetWindowDC(m_hWnd)); }
CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }
