#include "ApplyImportAdjustments.h"

#include "AdjustBitmap.h"

bool ApplyImportAdjustments(zvkImage::IBitmap* bitmap, const ImageProcessing& processing) {
  return AdjustBitmap(IBitmapPtr(bitmap), processing.quarterTurns, processing.flipA != 0,
                      processing.flipB != 0, processing.lut, processing.sharpen);
}
