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

// The size a source over the budget is reduced to, keeping its aspect ratio; false when it fits.
bool ReducedSize(zvkImage::IBitmap* source, uint32_t budget, long& newWidth, long& newHeight) {
  if (budget == 0) return false;
  long width = 0, height = 0;
  CheckBitmapCall(source->GetWidth(&width), source);
  CheckBitmapCall(source->GetHeight(&height), source);
  const double bytes = static_cast<double>(width) * static_cast<double>(height) * 3.0;
  const double scale = bytes > 0 ? std::sqrt(static_cast<double>(budget) / bytes) : 1.0;
  newWidth = static_cast<long>(scale * width);
  newHeight = static_cast<long>(scale * height);
  // Equal sides from a rectangular source: the longer side keeps one pixel more.
  if (newWidth == newHeight) {
    if (width > height)
      ++newWidth;
    else if (height > width)
      ++newHeight;
  }
  return newWidth < width && newHeight < height && newWidth > 0 && newHeight > 0;
}

void Reduce(zvkImage::IBitmap* bitmap, long width, long height) {
  HRESULT hr = GetJobFileOptions().ResizeDraftOnly ? bitmap->ResampleFast(width, height, 24)
                                                   : bitmap->Resample(width, height, 24);
  CheckBitmapCall(hr, bitmap);
}

}  // namespace

IBitmapPtr CreateRuntimeBitmap(zvkImage::IBitmap* source, uint32_t budget, bool alwaysCopy) {
  if (budget == 0) return alwaysCopy ? CopyBitmap(source, 36) : IBitmapPtr(source);
  long newWidth = 0, newHeight = 0;
  if (ReducedSize(source, budget, newWidth, newHeight)) {
    IBitmapPtr copy = CopyBitmap(source, 66);
    Reduce(copy, newWidth, newHeight);
    return copy;
  }
  return alwaysCopy ? CopyBitmap(source, 66) : IBitmapPtr(source);
}

bool ReduceRuntimeBitmap(zvkImage::IBitmap* bitmap, uint32_t budget) {
  long newWidth = 0, newHeight = 0;
  if (!ReducedSize(bitmap, budget, newWidth, newHeight)) return false;
  Reduce(bitmap, newWidth, newHeight);
  return true;
}
