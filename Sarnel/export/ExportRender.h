// One image made ready for its file: cropped like its cell, laid over its background, transparent parts
// on the fill colour, the tone curve and sharpening applied, brought to the target size and resolution.
#pragma once

#include "Render.h"

#include "SharpenValues.h"

struct ExportRenderOptions {
  bool sameSize = true;
  int width = 0;
  int height = 0;
  int dpi = 72;
  // False for the preview: the cut is only taken, not brought to the target size.
  bool resample = true;
  // The file holds sRGB: the job's colour space is converted. False for the preview, which the screen's
  // managed draw converts.
  bool toSrgb = true;
  const VARIANT* lut = nullptr;  // VT_EMPTY or null: no curve
  SharpenValues sharpen;
  // What shows where the picture is transparent (its key's alpha, its mask): white unless set.
  bool transparencyUse = false;
  COLORREF transparencyColor = RGB(255, 255, 255);
};

// The rendered bitmap, or null when the source cannot be cropped or copied. Failed library calls raise the
// COM error with the interface that failed.
IBitmapPtr RenderExportImage(zvkImage::IBitmap* source, zvkImage::IBitmap* mask,
                             zvkImage::IBitmap* background, const CropScale& crop,
                             const ExportRenderOptions& options);

// The job's masks read as the cells show them: white hides the picture. The image library's mask is an
// opacity (white shows it): this is the mask's negative, for RenderExportImage. Null for null.
IBitmapPtr MaskAsOpacity(zvkImage::IBitmap* mask);
