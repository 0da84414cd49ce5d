// The working copy of an image bitmap that fits a byte budget (3 bytes a pixel).
#pragma once

#include "ImageBitmap.h"

#include <cstdint>

// Budget 0 keeps the size. A source over the budget is copied and reduced, keeping its aspect ratio;
// one that fits is shared, or copied when alwaysCopy is set. The source itself never changes.
IBitmapPtr CreateRuntimeBitmap(zvkImage::IBitmap* source, uint32_t budget, bool alwaysCopy);
// Reduces a bitmap in place exactly as CreateRuntimeBitmap reduces its copy; false when it fits the budget
// (or the budget is 0) and stays as it was.
bool ReduceRuntimeBitmap(zvkImage::IBitmap* bitmap, uint32_t budget);
// Makes target (an initialized bitmap) the source reduced to width x height, the same pixels as a copy
// reduced in place, but read straight from the source without a full-size copy first.
void CopyReduced(zvkImage::IBitmap* target, zvkImage::IBitmap* source, long width, long height);
