// Counted references to bitmaps of the image library, and the one way the program makes a
// new bitmap object.
#pragma once

#include "zvkImage/zvkImage.h"

#include <comdef.h>

using IBitmapPtr = _com_ptr_t<_com_IIID<zvkImage::IBitmap, &__uuidof(zvkImage::IBitmap)>>;

// A new, empty bitmap object of the image library; null when the object made lacks the bitmap
// interface. Any other failure raises the COM error.
IBitmapPtr TryCreateImageBitmap();

// A new, empty bitmap object of the image library. A failure other than "no such interface" raises
// the COM error; no object throws CMyException E_CANNOT_CREATE_BITMAP with the given place.
IBitmapPtr CreateImageBitmap(const char* place, int line);

// Raises the COM error of a failed call on a bitmap, with the bitmap interface's identifier.
void CheckBitmapCall(HRESULT hr, IUnknown* bitmap);
