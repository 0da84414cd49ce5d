// What the export run asks of the job: its images, their state and their bitmaps. The program's job is
// the document (DocumentExportJob); tests give the run a job of their own.
#pragma once

#include "Render.h"

#include "CropScale.h"
#include "EventSource.h"
#include "SharedStringList.h"

#include "classlib/ClassLib.h"

class ExportJob {
 public:
  virtual ~ExportJob() = default;
  // The source the run's dialog subscribes to and fires its requests on.
  virtual EventSource* Events() = 0;
  virtual SharedStringList GetImageIds() = 0;
  virtual bool IsImageEmpty(const char* id) = 0;
  virtual bool IsImageOff(const char* id) = 0;
  virtual int32_t GetImageNumber(const char* id) = 0;  // 0 when unknown
  virtual bool IsImageLinked(const char* id) = 0;
  virtual CString GetImageFileName(const char* id) = 0;
  virtual CropScale GetImageCropScale(const char* id) = 0;
  // Full-size mask and replacement background; null when the image has none.
  virtual IBitmapPtr GetImageMask(const char* id) = 0;
  virtual IBitmapPtr GetImageBackground(const char* id) = 0;
  // The display bitmap the preview is made from; null when there is none.
  virtual IBitmapPtr GetDisplayBitmap(const char* id) = 0;
  // The full working bitmap with turn, corrections and key applied. Raises CMyException
  // E_CANNOT_FIND_IMAGE_FILE or E_CANNOT_OPEN_IMAGE_FILE for a linked file that is missing or unreadable.
  virtual IBitmapPtr RenderImage(const char* id) = 0;
};
