// The one way the production window puts a picture on the screen, so that the display colour path
// is changed in one place. A failing draw raises the bitmap's COM error.
#pragma once

#include "ImageBitmap.h"

#include "classlib/ClassLib.h"

void DrawPicture(HDC dc, zvkImage::IBitmap* bitmap, const RECT& target);
