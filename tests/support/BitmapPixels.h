// One pixel of an image-library bitmap, read through its sampling interface.
#pragma once

#include "zvkImage/zvkImage.h"

#include <comdef.h>

inline COLORREF PixelOf(zvkImage::IBitmap* bitmap, long x, long y) {
  using IBitmapExPtr = _com_ptr_t<_com_IIID<zvkImage::IBitmapEx, &__uuidof(zvkImage::IBitmapEx)>>;
  IBitmapExPtr ex;
  if (bitmap != nullptr) bitmap->QueryInterface(__uuidof(zvkImage::IBitmapEx), reinterpret_cast<void**>(&ex));
  if (!ex) return CLR_INVALID;
  RECT one = {x, y, x + 1, y + 1};
  VARIANT sample;
  VariantInit(&sample);
  if (FAILED(ex->Sample(&one, &sample)) || sample.vt != VT_I4) return CLR_INVALID;
  return static_cast<COLORREF>(sample.lVal);
}
