// The working copy of an image bitmap that fits a byte budget (3 bytes a pixel).
#pragma once

#include "ImageBitmap.h"

#include <cstdint>

// Budget 0 keeps the size. A source over the budget is copied and reduced, keeping its aspect ratio;
// one that fits is shared, or copied when alwaysCopy is set. The source itself never changes.
IBitmapPtr CreateRuntimeBitmap(zvkImage::IBitmap* source, uint32_t budget, bool alwaysCopy);
