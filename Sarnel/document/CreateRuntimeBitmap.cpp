#include "CreateRuntimeBitmap.h"

#include "JobFileOptions.h"

#include <cmath>

namespace {

constexpr const char* RuntimePlace = "DocumentRuntime";

IBitmapPtr CopyBitmap(zvkImage::IBitmap* source, int line) {
  IBitmapPtr copy = CreateImageBitmap(RuntimePlace, line);
  CheckBitmapCall(copy->Initialize(0), copy);
  CheckBitmapCall(copy->CopyFrom(source), copy);
  return copy;
}

}  // namespace

IBitmapPtr CreateRuntimeBitmap(zvkImage::IBitmap* source, uint32_t budget, bool alwaysCopy) {
  if (budget == 0) return alwaysCopy ? CopyBitmap(source, 36) : IBitmapPtr(source);
  long width = 0, height = 0;
  CheckBitmapCall(source->GetWidth(&width), source);
  CheckBitmapCall(source->GetHeight(&height), source);
  const double bytes = static_cast<double>(width) * static_cast<double>(height) * 3.0;
  const double scale = bytes > 0 ? std::sqrt(static_cast<double>(budget) / bytes) : 1.0;
  long newWidth = static_cast<long>(scale * width);
  long newHeight = static_cast<long>(scale * height);
  // Equal sides from a rectangular source: the longer side keeps one pixel more.
  if (newWidth == newHeight) {
    if (width > height)
      ++newWidth;
    else if (height > width)
      ++newHeight;
  }
  if (newWidth < width && newHeight < height && newWidth > 0 && newHeight > 0) {
    IBitmapPtr copy = CopyBitmap(source, 66);
    HRESULT hr = GetJobFileOptions().ResizeDraftOnly ? copy->ResampleFast(newWidth, newHeight, 24)
                                                     : copy->Resample(newWidth, newHeight, 24);
    CheckBitmapCall(hr, copy);
    return copy;
  }
  return alwaysCopy ? CopyBitmap(source, 66) : IBitmapPtr(source);
}
