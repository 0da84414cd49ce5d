// Applies an import processing to a bitmap in place: the mirrors, the quarter turns, the tone curve
// and the sharpening.
#pragma once

#include "ImageProcessing.h"

#include "zvkImage/zvkImage.h"

// False when there is no bitmap or a mirror or turn failed (the later steps are then not run). The
// tone curve and the sharpening raise the COM error when they fail.
bool ApplyImportAdjustments(zvkImage::IBitmap* bitmap, const ImageProcessing& processing);
