#include "classlib/Gdi.h"

#include "classlib/App.h"
#include "classlib/Dc.h"
#include "ThreadState.h"

namespace {
template <class T, class H>
void SetTempGdiHandle(T* object, H handle) {
  object->m_hObject = handle;
}
}  // namespace

template <class T, class H>
T* AfxGdiFromHandle(H handle) {
  if (handle == nullptr) return nullptr;
  return AfxGetThreadState().temporaries.Get<T, H, &SetTempGdiHandle<T, H>>(handle);
}

template CPen* AfxGdiFromHandle<CPen, HPEN>(HPEN);
template CBrush* AfxGdiFromHandle<CBrush, HBRUSH>(HBRUSH);
template CFont* AfxGdiFromHandle<CFont, HFONT>(HFONT);
template CBitmap* AfxGdiFromHandle<CBitmap, HBITMAP>(HBITMAP);
template CRgn* AfxGdiFromHandle<CRgn, HRGN>(HRGN);
template CPalette* AfxGdiFromHandle<CPalette, HPALETTE>(HPALETTE);
template CGdiObject* AfxGdiFromHandle<CGdiObject, HGDIOBJ>(HGDIOBJ);

HGDIOBJ AfxSafeGdiHandle(const CGdiObject* pObject) {
  return pObject != nullptr ? pObject->m_hObject : nullptr;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) { return AfxGdiFromHandle<CGdiObject>(hObject); }

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
  if (hObject == nullptr) return FALSE;
  DeleteObject();
  m_hObject = hObject;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ hObject = m_hObject;
  m_hObject = nullptr;
  return hObject;
}

BOOL CGdiObject::DeleteObject() {
  if (m_hObject == nullptr) return FALSE;
  return ::DeleteObject(Detach());
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
  return Attach(::CreatePatternBrush(static_cast<HBITMAP>(AfxSafeGdiHandle(pBitmap))));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC) {
  HDC hDC = pDC != nullptr ? AfxSafeHdc(pDC) : ::GetDC(nullptr);
  LOGFONTA lf = {};
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = -MulDiv(nPointSize, ::GetDeviceCaps(hDC, LOGPIXELSY), 720);
  lstrcpynA(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
  if (pDC == nullptr) ::ReleaseDC(nullptr, hDC);
  return CreateFontIndirect(&lf);
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName) {
  return Attach(::LoadBitmapA(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
  return Attach(::CreateCompatibleBitmap(AfxSafeHdc(pDC), nWidth, nHeight));
}

CSize CBitmap::GetBitmapDimension() const {
  SIZE size = {};
  ::GetBitmapDimensionEx(static_cast<HBITMAP>(m_hObject), &size);
  return CSize(size);
}

BOOL CPalette::CreateHalftonePalette(CDC* pDC) { return Attach(::CreateHalftonePalette(AfxSafeHdc(pDC))); }
