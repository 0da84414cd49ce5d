// The preview of the import dialogs: a raised frame and, with a bitmap, the bitmap fitted inside a
// margin of a fifteenth on each side, in a sunken frame. Holds one counted reference to its bitmap.
#pragma once

#include "ImageBitmap.h"
#include "OwnerCtl.h"

class CImportPreviewCtl : public COwnerCtl {
 public:
  // Releases the old bitmap and repaints.
  void SetBitmap(zvkImage::IBitmap* bitmap);
  zvkImage::IBitmap* GetBitmap() const { return bitmap; }
  void Draw(CDC* dc, const CRect& client, const CRect& clip) override;

 private:
  IBitmapPtr bitmap;
};
