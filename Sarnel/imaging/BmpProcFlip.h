// The program's own raster process that mirrors a bitmap left to right: the image library runs it over
// the rows when a bitmap offers no transform interface (IBitmap::RunProcess with mode 1).
#pragma once

#include "classlib/ClassLib.h"
#include "zvkImage/zvkImage.h"

class CBmpProcFlip : public CCmdTarget {
 public:
  // Starts with one reference, the creator's; the last release deletes the object.
  CBmpProcFlip();

  void OnFinalRelease() override;

  // Mirrors one 24-bit row in place: bytes holds count bytes, whole pixels only are swapped.
  static void MirrorRow(BYTE* bytes, unsigned count);

 protected:
  BEGIN_INTERFACE_PART(BitmapProcess, zvkImage::IBitmapProcess)
  STDMETHOD(GetName)(BSTR* name) override;
  STDMETHOD(GetParameter)(long index, VARIANT* value) override;
  STDMETHOD(Begin)(long width, long height) override;
  STDMETHOD(End)(HRESULT status) override;
  END_INTERFACE_PART(BitmapProcess)

  BEGIN_INTERFACE_PART(BitmapProcessRaster, zvkImage::IBitmapProcessRaster)
  STDMETHOD(GetFlags)(long* flags) override;
  STDMETHOD(GetFormat)(long* red, long* green, long* blue) override;
  STDMETHOD(GetContextRows)(long* rows) override;
  STDMETHOD(ProcessRow)(long row, BYTE* data) override;
  END_INTERFACE_PART(BitmapProcessRaster)

  DECLARE_INTERFACE_MAP()
};
