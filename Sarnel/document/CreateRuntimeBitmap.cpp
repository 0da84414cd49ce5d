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

using IResampleRectPtr = _com_ptr_t<_com_IIID<zvkImage::IResampleRect, &__uuidof(zvkImage::IResampleRect)>>;

void Reduce(zvkImage::IBitmap* bitmap, long width, long height) {
  HRESULT hr = GetJobFileOptions().ResizeDraftOnly ? bitmap->ResampleFast(width, height, 24)
                                                   : bitmap->Resample(width, height, 24);
  CheckBitmapCall(hr, bitmap);
}

}  // namespace

void CopyReduced(zvkImage::IBitmap* target, zvkImage::IBitmap* source, long width, long height) {
  // The fast resampling has no such one-pass form; it works on a copy.
  IResampleRectPtr resample;
  if (!GetJobFileOptions().ResizeDraftOnly &&
      SUCCEEDED(
          target->QueryInterface(__uuidof(zvkImage::IResampleRect), reinterpret_cast<void**>(&resample))) &&
      resample) {
    long sourceWidth = 0, sourceHeight = 0;
    CheckBitmapCall(source->GetWidth(&sourceWidth), source);
    CheckBitmapCall(source->GetHeight(&sourceHeight), source);
    CheckBitmapCall(resample->ResampleRect(source, 0, 0, sourceWidth, sourceHeight, width, height), target);
    return;
  }
  CheckBitmapCall(target->CopyFrom(source), target);
  Reduce(target, width, height);
}

IBitmapPtr CreateRuntimeBitmap(zvkImage::IBitmap* source, uint32_t budget, bool alwaysCopy) {
  if (budget == 0) return alwaysCopy ? CopyBitmap(source, 36) : IBitmapPtr(source);
  long newWidth = 0, newHeight = 0;
  if (ReducedSize(source, budget, newWidth, newHeight)) {
    IBitmapPtr copy = CreateImageBitmap(RuntimePlace, 66);
    CheckBitmapCall(copy->Initialize(0), copy);
    CopyReduced(copy, source, newWidth, newHeight);
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
