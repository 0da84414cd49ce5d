// CPalette.
#pragma once

#include "classlib/GdiObject.h"

class CDC;

class CPalette : public CGdiObject {
 public:
  static CPalette* FromHandle(HPALETTE hPalette) { return AfxGdiFromHandle<CPalette>(hPalette); }
  operator HPALETTE() const { return static_cast<HPALETTE>(GetSafeHandle()); }  // NOLINT
  BOOL CreatePalette(LPLOGPALETTE lpLogPalette) { return Attach(::CreatePalette(lpLogPalette)); }
  BOOL CreateHalftonePalette(CDC* pDC);
  int GetEntryCount() const {
    WORD count = 0;
    GetObject(sizeof(count), &count);
    return count;
  }
  UINT GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const {
    return ::GetPaletteEntries(static_cast<HPALETTE>(m_hObject), nStartIndex, nNumEntries, lpPaletteColors);
  }
};
