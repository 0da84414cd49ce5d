#include "ApplyImportAdjustments.h"

#include "ImageBitmap.h"

#include <comdef.h>

namespace {

using ITransformPtr = _com_ptr_t<_com_IIID<zvkImage::ITransform, &__uuidof(zvkImage::ITransform)>>;

bool Turn(zvkImage::IBitmap* bitmap, int32_t quarterTurns) {
  if (quarterTurns < 1 || quarterTurns > 3) return true;
  return SUCCEEDED(bitmap->Rotate(0.25f * static_cast<float>(quarterTurns)));
}

}  // namespace

bool ApplyImportAdjustments(zvkImage::IBitmap* bitmap, const ImageProcessing& processing) {
  if (bitmap == nullptr) return false;
  ITransformPtr transform;
  HRESULT hr = bitmap->QueryInterface(__uuidof(zvkImage::ITransform), reinterpret_cast<void**>(&transform));
  if (FAILED(hr) && hr != E_NOINTERFACE) _com_issue_error(hr);
  if (transform) {
    if (processing.flipA && FAILED(transform->MirrorVertical())) return false;
    if (processing.flipB && FAILED(transform->MirrorHorizontal())) return false;
    if (!Turn(bitmap, processing.quarterTurns)) return false;
  } else {
    // Mirrors need the transform interface; a bitmap without it can only be turned.
    if (processing.flipA || processing.flipB) return false;
    if (!Turn(bitmap, processing.quarterTurns)) return false;
  }
  // The tone curve applies once its LUT object is bound; records read from a job never hold one yet.
  if (processing.sharpen.on && transform) {
    hr = transform->Sharpen(processing.sharpen.kernel, processing.sharpen.strength);
    if (FAILED(hr)) _com_issue_errorex(hr, transform, __uuidof(zvkImage::ITransform));
  }
  return true;
}
