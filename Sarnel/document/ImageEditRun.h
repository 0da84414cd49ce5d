// One run of the outside image editor over a list of pictures, as the document drives it: existing
// files of linked images, and stored bitmaps that the run writes to temporary files. The production
// window supplies the run (through the shell services); its destructor deletes the temporary files.
#pragma once

#include "ImageBitmap.h"

#include "classlib/ClassLib.h"

class ImageEditRun {
 public:
  virtual ~ImageEditRun() = default;
  // Appends an existing image file.
  virtual void AddFile(const char* path) = 0;
  // Writes the bitmap to a temporary file and appends it.
  virtual void AddBitmap(zvkImage::IBitmap* bitmap) = 0;
  // Starts the editor on every item and waits until the operator is done; true when editing took place.
  virtual bool Edit(CWnd* parent) = 0;
  // A new bitmap read from the item's file when the editor changed it; otherwise null.
  virtual IBitmapPtr ReloadIfChanged(int item) = 0;
};
