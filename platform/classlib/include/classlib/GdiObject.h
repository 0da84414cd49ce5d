// CGdiObject: owns one GDI object handle (pen, brush, font, bitmap, region, palette).
#pragma once

#include "classlib/RuntimeClass.h"

class CGdiObject;
HGDIOBJ AfxSafeGdiHandle(const CGdiObject* pObject);

class CGdiObject : public CObject {
 public:
  CGdiObject() = default;
  ~CGdiObject() override { DeleteObject(); }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  HGDIOBJ m_hObject = nullptr;

  operator HGDIOBJ() const { return AfxSafeGdiHandle(this); }  // NOLINT(google-explicit-constructor)
  HGDIOBJ GetSafeHandle() const { return AfxSafeGdiHandle(this); }
  // A temporary wrapper that lives until the next idle time.
  static CGdiObject* FromHandle(HGDIOBJ hObject);
  BOOL Attach(HGDIOBJ hObject);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  int GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectA(m_hObject, nCount, lpObject); }
  BOOL CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }
  BOOL UnrealizeObject() { return ::UnrealizeObject(m_hObject); }
};

// The typed FromHandle of each GDI class.
template <class T, class H>
T* AfxGdiFromHandle(H handle);
