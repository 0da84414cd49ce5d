#include "MakePreviewBitmap.h"

#include "CreateRuntimeBitmap.h"

#include <algorithm>
#include <cmath>

SIZE PreviewSize(long width, long height) {
  // A zero-sized source has no area to scale by.
  if (width <= 0 || height <= 0) return {width, height};
  const double scale = std::sqrt(65536.0 / (static_cast<double>(width) * static_cast<double>(height) * 3.0));
  // A very thin source would shrink to no pixel across; it keeps at least one.
  const long newWidth = std::max(1L, static_cast<long>(static_cast<double>(width) * scale));
  const long newHeight = std::max(1L, static_cast<long>(static_cast<double>(height) * scale));
  if (newWidth < width && newHeight < height) return {newWidth, newHeight};
  return {width, height};
}

IBitmapPtr MakePreviewBitmap(zvkImage::IBitmap* source) {
  IUnknown* object = nullptr;
  if (FAILED(zvkImage::CreateObject(zvkImage::CLSID_Bitmap, CLSCTX_INPROC_SERVER, &object)) || !object)
    return nullptr;
  IBitmapPtr preview;
  const HRESULT query =
      object->QueryInterface(__uuidof(zvkImage::IBitmap), reinterpret_cast<void**>(&preview));
  object->Release();
  if (FAILED(query) || !preview) return nullptr;
  CheckBitmapCall(preview->Initialize(0), preview);
  long width = 0;
  long height = 0;
  CheckBitmapCall(source->GetWidth(&width), source);
  CheckBitmapCall(source->GetHeight(&height), source);
  const SIZE size = PreviewSize(width, height);
  if (size.cx < width && size.cy < height)
    CopyReduced(preview, source, size.cx, size.cy);
  else
    CheckBitmapCall(preview->CopyFrom(source), preview);
  return preview;
}
