// CBrush: solid, hatched or pattern.
#pragma once

#include "classlib/GdiObject.h"

class CBitmap;

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
  CBrush(int nIndex, COLORREF crColor) { CreateHatchBrush(nIndex, crColor); }
  static CBrush* FromHandle(HBRUSH hBrush) { return AfxGdiFromHandle<CBrush>(hBrush); }
  operator HBRUSH() const { return static_cast<HBRUSH>(GetSafeHandle()); }  // NOLINT
  BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
  BOOL CreateHatchBrush(int nIndex, COLORREF crColor) { return Attach(::CreateHatchBrush(nIndex, crColor)); }
  BOOL CreatePatternBrush(CBitmap* pBitmap);
  BOOL CreateSysColorBrush(int nIndex) { return Attach(::GetSysColorBrush(nIndex)); }
  int GetLogBrush(LOGBRUSH* pLogBrush) const { return GetObject(sizeof(LOGBRUSH), pLogBrush); }
};
