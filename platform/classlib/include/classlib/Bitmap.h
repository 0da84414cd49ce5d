// CBitmap.
#pragma once

#include "classlib/GdiObject.h"
#include "classlib/Geometry.h"

class CDC;

class CBitmap : public CGdiObject {
 public:
  static CBitmap* FromHandle(HBITMAP hBitmap) { return AfxGdiFromHandle<CBitmap>(hBitmap); }
  operator HBITMAP() const { return static_cast<HBITMAP>(GetSafeHandle()); }  // NOLINT
  // From the resource module (AfxGetResourceHandle).
  BOOL LoadBitmap(LPCTSTR lpszResourceName);
  BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEA(nIDResource)); }
  BOOL LoadOEMBitmap(UINT nIDBitmap) { return Attach(::LoadBitmapA(nullptr, MAKEINTRESOURCEA(nIDBitmap))); }
  BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits) {
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
  }
  BOOL CreateBitmapIndirect(LPBITMAP lpBitmap) { return Attach(::CreateBitmapIndirect(lpBitmap)); }
  BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
  int GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }
  CSize GetBitmapDimension() const;
};
