// CDC: one device context handle (no separate attribute context) with the drawing calls.
#pragma once

#include "classlib/Geometry.h"
#include "classlib/Gdi.h"
#include "classlib/String.h"

class CWnd;
class CDC;
HDC AfxSafeHdc(const CDC* pDC);

class CDC : public CObject {
 public:
  CDC() = default;
  ~CDC() override;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC m_hDC = nullptr;
  // Set while printing; drawing code asks IsPrinting.
  BOOL m_bPrinting = FALSE;

  // Handle.
  operator HDC() const { return AfxSafeHdc(this); }  // NOLINT(google-explicit-constructor)
  HDC GetSafeHdc() const { return AfxSafeHdc(this); }
  static CDC* FromHandle(HDC hDC);
  BOOL Attach(HDC hDC);
  HDC Detach();
  BOOL CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(AfxSafeHdc(pDC))); }
  BOOL CreateDC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData) {
    return Attach(
        ::CreateDCA(lpszDriverName, lpszDeviceName, lpszOutput, static_cast<const DEVMODEA*>(lpInitData)));
  }
  BOOL DeleteDC();
  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }
  BOOL IsPrinting() const { return m_bPrinting; }
  CWnd* GetWindow() const;

  // Selection and clipping. Each returns the object it replaced (a temporary wrapper).
  CPen* SelectObject(CPen* pPen);
  CBrush* SelectObject(CBrush* pBrush);
  virtual CFont* SelectObject(CFont* pFont);
  CBitmap* SelectObject(CBitmap* pBitmap);
  int SelectObject(CRgn* pRgn);
  CGdiObject* SelectObject(CGdiObject* pObject);
  HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
  virtual CGdiObject* SelectStockObject(int nIndex);
  CPalette* SelectPalette(CPalette* pPalette, BOOL bForceBackground);
  UINT RealizePalette() { return ::RealizePalette(m_hDC); }
  CPen* GetCurrentPen() const {
    return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN)));
  }
  CBrush* GetCurrentBrush() const {
    return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
  }
  CFont* GetCurrentFont() const {
    return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT)));
  }
  CBitmap* GetCurrentBitmap() const {
    return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
  }
  virtual int SelectClipRgn(CRgn* pRgn) {
    return ::SelectClipRgn(m_hDC, static_cast<HRGN>(AfxSafeGdiHandle(pRgn)));
  }
  int SelectClipRgn(CRgn* pRgn, int nMode) {
    return ::ExtSelectClipRgn(m_hDC, static_cast<HRGN>(AfxSafeGdiHandle(pRgn)), nMode);
  }
  int IntersectClipRect(int x1, int y1, int x2, int y2) { return ::IntersectClipRect(m_hDC, x1, y1, x2, y2); }
  int IntersectClipRect(LPCRECT lpRect) {
    return IntersectClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
  }
  int ExcludeClipRect(int x1, int y1, int x2, int y2) { return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2); }
  int ExcludeClipRect(LPCRECT lpRect) {
    return ExcludeClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
  }
  virtual int GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }
  virtual BOOL PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }
  BOOL PtVisible(POINT point) const { return PtVisible(point.x, point.y); }
  virtual BOOL RectVisible(LPCRECT lpRect) const { return ::RectVisible(m_hDC, lpRect); }

  // Filling.
  BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, AfxSafeHdc(pSrcDC), xSrc, ySrc, dwRop);
  }
  BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                  int nSrcHeight, DWORD dwRop) {
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, AfxSafeHdc(pSrcDC), xSrc, ySrc, nSrcWidth, nSrcHeight,
                        dwRop);
  }
  BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop) {
    return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop);
  }
  void InvertRect(LPCRECT lpRect) { ::InvertRect(m_hDC, lpRect); }
  void FillRect(LPCRECT lpRect, CBrush* pBrush) {
    ::FillRect(m_hDC, lpRect, static_cast<HBRUSH>(AfxSafeGdiHandle(pBrush)));
  }
  void FrameRect(LPCRECT lpRect, CBrush* pBrush) {
    ::FrameRect(m_hDC, lpRect, static_cast<HBRUSH>(AfxSafeGdiHandle(pBrush)));
  }
  void FillSolidRect(LPCRECT lpRect, COLORREF clr);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
  void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
  BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags) { return ::DrawEdge(m_hDC, lpRect, nEdge, nFlags); }
  BOOL DrawFrameControl(LPRECT lpRect, UINT nType, UINT nState) {
    return ::DrawFrameControl(m_hDC, lpRect, nType, nState);
  }
  void DrawFocusRect(LPCRECT lpRect) { ::DrawFocusRect(m_hDC, lpRect); }
  BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
  BOOL DrawIcon(POINT point, HICON hIcon) { return ::DrawIcon(m_hDC, point.x, point.y, hIcon); }

  // Text.
  virtual int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) {
    return ::DrawTextA(m_hDC, lpszString, nCount, lpRect, nFormat);
  }
  int DrawText(const CString& str, LPRECT lpRect, UINT nFormat) {
    return DrawText(str, str.GetLength(), lpRect, nFormat);
  }
  virtual BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount) {
    return ::TextOutA(m_hDC, x, y, lpszString, nCount);
  }
  BOOL TextOut(int x, int y, const CString& str) { return TextOut(x, y, str, str.GetLength()); }
  virtual BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount,
                          LPINT lpDxWidths) {
    return ::ExtTextOutA(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
  }
  virtual CSize TabbedTextOut(int x, int y, LPCTSTR lpszString, int nCount, int nTabPositions,
                              LPINT lpnTabStopPositions, int nTabOrigin) {
    LONG extent =
        ::TabbedTextOutA(m_hDC, x, y, lpszString, nCount, nTabPositions, lpnTabStopPositions, nTabOrigin);
    return CSize(LOWORD(extent), HIWORD(extent));
  }
  virtual BOOL GrayString(CBrush* pBrush, BOOL(CALLBACK* lpfnOutput)(HDC, LPARAM, int), LPARAM lpData,
                          int nCount, int x, int y, int nWidth, int nHeight) {
    return ::GrayStringA(m_hDC, static_cast<HBRUSH>(AfxSafeGdiHandle(pBrush)), lpfnOutput, lpData, nCount, x,
                         y, nWidth, nHeight);
  }
  virtual int Escape(int nEscape, int nCount, LPCSTR lpszInData, LPVOID lpOutData) {
    return ::Escape(m_hDC, nEscape, nCount, lpszInData, lpOutData);
  }
  CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
  CSize GetTextExtent(const CString& str) const { return GetTextExtent(str, str.GetLength()); }
  BOOL GetTextMetrics(LPTEXTMETRICA lpMetrics) const { return ::GetTextMetricsA(m_hDC, lpMetrics); }
  virtual COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
  COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
  virtual COLORREF SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
  COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
  int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
  int GetBkMode() const { return ::GetBkMode(m_hDC); }
  UINT SetTextAlign(UINT nFlags) { return ::SetTextAlign(m_hDC, nFlags); }

  // Lines and shapes.
  int SetROP2(int nDrawMode) { return ::SetROP2(m_hDC, nDrawMode); }
  int GetROP2() const { return ::GetROP2(m_hDC); }
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
  BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
  BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
  BOOL Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
  BOOL Rectangle(LPCRECT lpRect) {
    return Rectangle(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
  }
  BOOL RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
    return ::RoundRect(m_hDC, x1, y1, x2, y2, x3, y3);
  }
  BOOL Ellipse(int x1, int y1, int x2, int y2) { return ::Ellipse(m_hDC, x1, y1, x2, y2); }
  BOOL Ellipse(LPCRECT lpRect) { return Ellipse(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
  BOOL Polygon(const POINT* lpPoints, int nCount) { return ::Polygon(m_hDC, lpPoints, nCount); }
  BOOL Polyline(const POINT* lpPoints, int nCount) { return ::Polyline(m_hDC, lpPoints, nCount); }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
  COLORREF SetPixel(int x, int y, COLORREF crColor) { return ::SetPixel(m_hDC, x, y, crColor); }

  // Device and mapping.
  int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }
  int SetStretchBltMode(int nStretchMode) { return ::SetStretchBltMode(m_hDC, nStretchMode); }
  int SetMapMode(int nMapMode) { return ::SetMapMode(m_hDC, nMapMode); }
  int GetMapMode() const { return ::GetMapMode(m_hDC); }
  CSize SetWindowExt(int cx, int cy);
  CSize SetWindowExt(SIZE size) { return SetWindowExt(size.cx, size.cy); }
  CSize SetViewportExt(int cx, int cy);
  CSize SetViewportExt(SIZE size) { return SetViewportExt(size.cx, size.cy); }
  CPoint SetWindowOrg(int x, int y);
  CPoint SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
  CPoint GetWindowOrg() const;
  CPoint SetViewportOrg(int x, int y);
  CPoint SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
  CPoint GetViewportOrg() const;
  void DPtoLP(LPPOINT lpPoints, int nCount = 1) const { ::DPtoLP(m_hDC, lpPoints, nCount); }
  void DPtoLP(LPRECT lpRect) const { ::DPtoLP(m_hDC, reinterpret_cast<LPPOINT>(lpRect), 2); }
  void LPtoDP(LPPOINT lpPoints, int nCount = 1) const { ::LPtoDP(m_hDC, lpPoints, nCount); }
  void LPtoDP(LPRECT lpRect) const { ::LPtoDP(m_hDC, reinterpret_cast<LPPOINT>(lpRect), 2); }
};
