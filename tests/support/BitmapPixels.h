// Pixels of image-library bitmaps in tests: read through the sampling interface, one or all of them, and
// small bitmaps painted pixel by pixel.
#pragma once

#include "zvkImage/zvkImage.h"

#include <comdef.h>

#include <vector>

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

// Every pixel, row by row (with its size first, so that bitmaps of other shapes never compare equal);
// empty for no bitmap.
inline std::vector<COLORREF> AllPixels(zvkImage::IBitmap* bitmap) {
  std::vector<COLORREF> pixels;
  long width = 0, height = 0;
  if (bitmap == nullptr || FAILED(bitmap->GetWidth(&width)) || FAILED(bitmap->GetHeight(&height)))
    return pixels;
  pixels.push_back(static_cast<COLORREF>(width));
  pixels.push_back(static_cast<COLORREF>(height));
  for (long y = 0; y < height; ++y)
    for (long x = 0; x < width; ++x) pixels.push_back(PixelOf(bitmap, x, y));
  return pixels;
}

// A new 24-bit bitmap whose pixel (x, y) has the colour colourAt(x, y); null when none can be made.
template <class ColourAt>
_com_ptr_t<_com_IIID<zvkImage::IBitmap, &__uuidof(zvkImage::IBitmap)>> PaintedBitmap(long width, long height,
                                                                                     ColourAt colourAt) {
  _com_ptr_t<_com_IIID<zvkImage::IBitmap, &__uuidof(zvkImage::IBitmap)>> bitmap;
  IUnknown* object = nullptr;
  if (FAILED(zvkImage::CreateObject(zvkImage::CLSID_Bitmap, CLSCTX_INPROC_SERVER, &object))) return bitmap;
  object->QueryInterface(__uuidof(zvkImage::IBitmap), reinterpret_cast<void**>(&bitmap));
  object->Release();
  HDC dc = nullptr;
  if (!bitmap || FAILED(bitmap->Allocate(width, height, 24, 0)) || FAILED(bitmap->GetDC(&dc))) return nullptr;
  for (long y = 0; y < height; ++y)
    for (long x = 0; x < width; ++x) SetPixel(dc, x, y, colourAt(x, y));
  bitmap->ReleaseDC(dc);
  return bitmap;
}
