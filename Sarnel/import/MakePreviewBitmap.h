// The small copy of an imported image that the import dialogs show: about 65536 bytes of 24-bit
// pixels, keeping the aspect (1000 x 1000 gives 147 x 147); a smaller source is copied unchanged.
#pragma once

#include "ImageBitmap.h"

// Null when no bitmap object can be made; a failed call on either bitmap raises the COM error.
IBitmapPtr MakePreviewBitmap(zvkImage::IBitmap* source);

// The preview's size for a source size; the source's own size when that is not smaller both ways.
SIZE PreviewSize(long width, long height);
