// The import processing's pixel steps on a bitmap of the image library, in place: the two mirrors, the
// quarter turns (counter-clockwise), the tone curve and the sharpening.
#pragma once

#include "LUTRecord.h"
#include "SharpenValues.h"

#include "zvkImage/zvkImage.h"

#include <cstdint>

// True when every step that ran succeeded; false without a bitmap or when a mirror or turn failed (the
// later steps are then not run). A bitmap without the transform interface gets its mirrors through the
// program's own mirror process and is not sharpened. A rotation outside 1..3 turns nothing; a kernel
// other than 3, 5 or 7 sharpens as 3. Raises _com_error when the transform query fails otherwise than
// with E_NOINTERFACE, and when the tone curve or the sharpening fails.
bool AdjustBitmap(IBitmapPtr bitmap, int32_t rotation, bool flipVertical, bool flipHorizontal,
                  const LUTRecord& lut, const SharpenValues& sharpen);

// Mirrors the bitmap left to right through a new CBmpProcFlip; false when the process call fails or the
// process cannot be made.
bool FlipBitmapHorizontal(zvkImage::IBitmap* bitmap);
