#include "AdjustBitmap.h"

#include "BmpProcFlip.h"

#include <new>

namespace {

using ITransformPtr = _com_ptr_t<_com_IIID<zvkImage::ITransform, &__uuidof(zvkImage::ITransform)>>;

bool Turn(zvkImage::IBitmap* bitmap, int32_t quarters) {
  if (quarters < 1 || quarters > 3) return true;
  return SUCCEEDED(bitmap->Rotate(0.25f * static_cast<float>(quarters)));
}

int16_t KernelOf(const SharpenValues& sharpen) {
  return sharpen.kernel == 3 || sharpen.kernel == 5 || sharpen.kernel == 7 ? sharpen.kernel : int16_t(3);
}

}  // namespace

bool FlipBitmapHorizontal(zvkImage::IBitmap* bitmap) {
  if (bitmap == nullptr) return false;
  CBmpProcFlip* flip = new (std::nothrow) CBmpProcFlip;
  if (flip == nullptr) return false;
  auto* process =
      reinterpret_cast<zvkImage::IBitmapProcess*>(flip->GetInterface(&__uuidof(zvkImage::IBitmapProcess)));
  const HRESULT hr = bitmap->RunProcess(process, 1);
  flip->ExternalRelease();
  return SUCCEEDED(hr);
}

bool AdjustBitmap(IBitmapPtr bitmap, int32_t rotation, bool flipVertical, bool flipHorizontal,
                  const LUTRecord& lut, const SharpenValues& sharpen) {
  if (!bitmap) return false;
  ITransformPtr transform;
  HRESULT hr = bitmap->QueryInterface(__uuidof(zvkImage::ITransform), reinterpret_cast<void**>(&transform));
  if (FAILED(hr) && hr != E_NOINTERFACE) _com_issue_error(hr);
  const int32_t quarters = rotation >= 1 && rotation <= 3 ? rotation : 0;
  if (transform) {
    if (flipVertical && FAILED(transform->MirrorVertical())) return false;
    if (flipHorizontal && FAILED(transform->MirrorHorizontal())) return false;
    if (!Turn(bitmap, quarters)) return false;
  } else {
    // A top-to-bottom mirror is a left-to-right mirror and a half turn, and a mirror followed by a turn
    // equals the opposite turn followed by the mirror: so any mix of the two mirrors and the turn is at
    // most one left-to-right mirror followed by one turn. Ordering the steps any other way would leave
    // an odd turn half a turn off.
    const bool mirror = flipVertical != flipHorizontal;
    const int32_t turn = (quarters + (flipVertical ? 2 : 0)) % 4;
    if (mirror && !FlipBitmapHorizontal(bitmap)) return false;
    if (!Turn(bitmap, turn)) return false;
  }
  if (!lut.IsEmpty()) lut.ApplyToBitmap(bitmap);
  if (sharpen.on && transform) {
    hr = transform->Sharpen(KernelOf(sharpen), sharpen.strength);
    if (FAILED(hr)) _com_issue_errorex(hr, transform, __uuidof(zvkImage::ITransform));
  }
  return true;
}
