// CRgn: a region, mostly for clipping.
#pragma once

#include "classlib/GdiObject.h"

class CRgn : public CGdiObject {
 public:
  static CRgn* FromHandle(HRGN hRgn) { return AfxGdiFromHandle<CRgn>(hRgn); }
  operator HRGN() const { return static_cast<HRGN>(GetSafeHandle()); }  // NOLINT
  BOOL CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
  BOOL CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
  BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2) {
    return Attach(::CreateEllipticRgn(x1, y1, x2, y2));
  }
  BOOL CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode) {
    return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode));
  }
  int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode) {
    return ::CombineRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(AfxSafeGdiHandle(pRgn1)),
                        static_cast<HRGN>(AfxSafeGdiHandle(pRgn2)), nCombineMode);
  }
  void SetRectRgn(LPCRECT lpRect) {
    ::SetRectRgn(static_cast<HRGN>(m_hObject), lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
  }
  BOOL PtInRegion(POINT point) const { return ::PtInRegion(static_cast<HRGN>(m_hObject), point.x, point.y); }
  BOOL RectInRegion(LPCRECT lpRect) const { return ::RectInRegion(static_cast<HRGN>(m_hObject), lpRect); }
  int GetRgnBox(LPRECT lpRect) const { return ::GetRgnBox(static_cast<HRGN>(m_hObject), lpRect); }
  int OffsetRgn(int x, int y) { return ::OffsetRgn(static_cast<HRGN>(m_hObject), x, y); }
};
