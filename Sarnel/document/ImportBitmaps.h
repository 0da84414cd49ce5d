// The bitmaps an import stores of a picture: the draft and, unless the image is linked, the full bitmap,
// both processed once without the sharpening.
#pragma once

#include "ImageBitmap.h"

struct ImportBitmaps {
  IBitmapPtr draft;
  IBitmapPtr finalBitmap;  // null for a linked image
};
