// One image that the disk-import worker loaded, as it hands it to the dialog: the unprocessed
// bitmap (or the bitmaps the document stores of it), its processed preview, the processing the
// document applies when storing it and the identifier texts read from the file.
#pragma once

#include "ImageBitmap.h"
#include "ImageProcessing.h"
#include "ImportBitmaps.h"
#include "ImportTagTexts.h"

#include <cstdint>

struct ImportedImage {
  CString path;
  int32_t number = 0;
  IBitmapPtr bitmap;
  IBitmapPtr preview;
  bool reference = false;
  bool keepPath = false;
  ImageProcessing processing;
  ImportTagTexts texts;
  // The stored bitmaps, made by the worker while earlier images were stored; without them the document
  // makes them of the bitmap.
  ImportBitmaps stored;
};

// The text the job records for the image's file: with reference and keep path the full path, with
// reference alone the name, without reference the name without its last extension.
CString ImportFileText(const CString& path, bool reference, bool keepPath);
