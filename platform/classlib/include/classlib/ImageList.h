// CImageList: owns an image list.
#pragma once

#include "classlib/Geometry.h"
#include "classlib/RuntimeClass.h"

class CBitmap;
class CDC;

class CImageList : public CObject {
 public:
  CImageList() = default;
  ~CImageList() override { DeleteImageList(); }
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  HIMAGELIST m_hImageList = nullptr;
  operator HIMAGELIST() const { return m_hImageList; }  // NOLINT(google-explicit-constructor)
  HIMAGELIST GetSafeHandle() const { return m_hImageList; }

  BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
  // From a bitmap resource of the resource module: cx wide images, crMask transparent.
  BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
  BOOL Attach(HIMAGELIST hImageList);
  HIMAGELIST Detach();
  BOOL DeleteImageList();
  int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
  int Add(CBitmap* pbmImage, CBitmap* pbmMask);
  int Add(CBitmap* pbmImage, COLORREF crMask);
  int Add(HICON hIcon) { return ImageList_AddIcon(m_hImageList, hIcon); }
  BOOL Remove(int nImage) { return ImageList_Remove(m_hImageList, nImage); }
  BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);
  HICON ExtractIcon(int nImage) { return ImageList_ExtractIcon(nullptr, m_hImageList, nImage); }
  COLORREF SetBkColor(COLORREF cr) { return ImageList_SetBkColor(m_hImageList, cr); }
  BOOL GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const {
    return ImageList_GetImageInfo(m_hImageList, nImage, pImageInfo);
  }
};
