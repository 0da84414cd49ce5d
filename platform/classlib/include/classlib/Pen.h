// CPen.
#pragma once

#include "classlib/GdiObject.h"

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
  static CPen* FromHandle(HPEN hPen) { return AfxGdiFromHandle<CPen>(hPen); }
  operator HPEN() const { return static_cast<HPEN>(GetSafeHandle()); }  // NOLINT
  BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
  }
  BOOL CreatePenIndirect(LPLOGPEN lpLogPen) { return Attach(::CreatePenIndirect(lpLogPen)); }
  int GetLogPen(LOGPEN* pLogPen) const { return GetObject(sizeof(LOGPEN), pLogPen); }
};
