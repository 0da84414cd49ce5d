#include "PictureObject.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "BitmapObject.h"
#include "CutRegion.h"
#include "ImageLibrary.h"
#include "Resampler.h"

namespace zvkImage {
namespace {

// Straight alpha of top over bottom, in place; bottom ends opaque when it was.
void Over(PixelImage& bottom, const PixelImage& top) {
  for (int y = 0; y < bottom.Height(); ++y) {
    uint8_t* d = bottom.Row(y);
    const uint8_t* s = top.Row(y);
    const uint8_t* a = top.HasAlpha() ? top.AlphaRow(y) : nullptr;
    uint8_t* da = bottom.HasAlpha() ? bottom.AlphaRow(y) : nullptr;
    for (int x = 0; x < bottom.Width(); ++x, d += 3, s += 3) {
      const int alpha = a ? a[x] : 255;
      for (int c = 0; c < 3; ++c) d[c] = uint8_t((s[c] * alpha + d[c] * (255 - alpha) + 127) / 255);
      if (da) da[x] = uint8_t(alpha + (da[x] * (255 - alpha) + 127) / 255);
    }
  }
}

// The background scaled to cover width x height, centred, as the cell shows it.
PixelImage Cover(const PixelImage& background, int width, int height) {
  const double scale = std::max(double(width) / background.Width(), double(height) / background.Height());
  const double step = 1.0 / scale;
  return Resampler::Region(background, width, height, step, (background.Width() - width * step) * 0.5, step,
                           (background.Height() - height * step) * 0.5, ResampleQuality::Good);
}

}  // namespace

PictureObject::~PictureObject() {
  for (IBitmap* held : {source_, overlay_, background_})
    if (held) held->Release();
  for (auto& property : properties_) VariantClear(&property.second);
}

HRESULT PictureObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == __uuidof(IRenderPicture))
    *object = static_cast<IRenderPicture*>(this);
  else if (iid == __uuidof(IPictureFrame))
    *object = static_cast<IPictureFrame*>(this);
  else if (iid == __uuidof(IIcmDraw))
    *object = static_cast<IIcmDraw*>(this);
  else if (iid == __uuidof(IRenderCrop))
    *object = static_cast<IRenderCrop*>(this);
  else if (iid == __uuidof(IRenderAspect))
    *object = static_cast<IRenderAspect*>(this);
  else if (iid == __uuidof(IRenderOverlay))
    *object = static_cast<IRenderOverlay*>(this);
  else if (iid == __uuidof(IRenderBackground))
    *object = static_cast<IRenderBackground*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG PictureObject::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT PictureObject::Get(IBitmap* held, IBitmap** out) {
  if (!out) return E_POINTER;
  std::lock_guard<std::recursive_mutex> guard(lock_);
  *out = held;
  if (held) held->AddRef();
  return S_OK;
}

HRESULT PictureObject::Set(IBitmap*& held, IBitmap* given) {
  // Only this library's bitmaps: the picture reads their pixels directly.
  if (given && !BitmapObject::FromInterface(given)) return E_INVALIDARG;
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (given) given->AddRef();
  if (held) held->Release();
  held = given;
  return S_OK;
}

HRESULT PictureObject::SetFinite(double& held, double value) {
  if (!std::isfinite(value)) return E_INVALIDARG;
  std::lock_guard<std::recursive_mutex> guard(lock_);
  held = value;
  return S_OK;
}

HRESULT PictureObject::SetZoom(double zoom) {
  if (!std::isfinite(zoom) || zoom <= 0.0) return E_INVALIDARG;
  return SetFinite(crop_.zoom, zoom);
}

HRESULT PictureObject::GetAspectOn(long* on) {
  if (!on) return E_POINTER;
  std::lock_guard<std::recursive_mutex> guard(lock_);
  *on = crop_.fixedRatio ? 1 : 0;
  return S_OK;
}

HRESULT PictureObject::SetAspectOn(long on) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  crop_.fixedRatio = on != 0;
  return S_OK;
}

HRESULT PictureObject::GetAspectWidth(ULONG* width) {
  if (!width) return E_POINTER;
  std::lock_guard<std::recursive_mutex> guard(lock_);
  *width = crop_.ratioWidth;
  return S_OK;
}

HRESULT PictureObject::SetAspectWidth(ULONG width) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  crop_.ratioWidth = width;
  return S_OK;
}

HRESULT PictureObject::GetAspectHeight(ULONG* height) {
  if (!height) return E_POINTER;
  std::lock_guard<std::recursive_mutex> guard(lock_);
  *height = crop_.ratioHeight;
  return S_OK;
}

HRESULT PictureObject::SetAspectHeight(ULONG height) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  crop_.ratioHeight = height;
  return S_OK;
}

bool PictureObject::Cut(long& width, long& height, RECT& cut) {
  if (!source_ || FAILED(source_->GetWidth(&width)) || FAILED(source_->GetHeight(&height))) return false;
  return CropCut(width, height, crop_, cut);
}

HRESULT PictureObject::GetSize(PictureSize* size) {
  if (!size) return E_POINTER;
  *size = PictureSize{};
  std::lock_guard<std::recursive_mutex> guard(lock_);
  long width = 0, height = 0;
  RECT cut;
  if (!Cut(width, height, cut)) return E_UNEXPECTED;
  const SIZE frame = CutSize(cut.right - cut.left, cut.bottom - cut.top, width, height);
  size->units = fuPlain0;
  size->width = double(frame.cx);
  size->height = double(frame.cy);
  return S_OK;
}

PixelImage PictureObject::Compose() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  long width = 0, height = 0;
  RECT cut;
  if (!Cut(width, height, cut)) return PixelImage();
  PixelImage frame =
      CutRegion(BitmapObject::FromInterface(source_)->SnapshotMasked(), cut, RGB(255, 255, 255));
  if (background_) {
    const PixelImage background = BitmapObject::FromInterface(background_)->Snapshot();
    if (!background.Empty()) {
      PixelImage under = Cover(background, frame.Width(), frame.Height());
      under.DropAlpha();
      under.dpiX = frame.dpiX;
      under.dpiY = frame.dpiY;
      Over(under, frame);
      frame = std::move(under);
    }
  }
  if (overlay_) {
    const PixelImage overlay = BitmapObject::FromInterface(overlay_)->SnapshotMasked();
    if (!overlay.Empty())
      Over(frame, Resampler::Whole(overlay, frame.Width(), frame.Height(), ResampleQuality::Good));
  }
  return frame;
}

HRESULT PictureObject::Draw(HDC dc, const Mapping* mapping, const Frame* frame, const void*) {
  return DrawFramed(dc, mapping, frame, nullptr);
}

HRESULT PictureObject::DrawManaged(HDC dc, const Mapping* mapping, const Frame* frame, const void*,
                                   IRenderIcmCallback* callback) {
  if (!callback) return E_POINTER;
  return DrawFramed(dc, mapping, frame, callback);
}

HRESULT PictureObject::DrawFramed(HDC dc, const Mapping* mapping, const Frame* frame,
                                  IRenderIcmCallback* callback) {
  if (!dc) return E_INVALIDARG;
  if (!mapping || !frame) return E_POINTER;
  if (!(mapping->scale.x > 0.0) || !(mapping->scale.y > 0.0)) return E_INVALIDARG;
  try {
    PixelImage picture = Compose();
    if (picture.Empty()) return E_UNEXPECTED;
    // Where the frame lands: the source anchor sits on the destination anchor, scale units per pixel.
    const double w = frame->width / mapping->scale.x, h = frame->height / mapping->scale.y;
    const double cx = mapping->destination.x + (frame->centreX - mapping->source.x) / mapping->scale.x;
    const double cy = mapping->destination.y + (frame->centreY - mapping->source.y) / mapping->scale.y;
    const RECT target{long(std::lround(cx - w * 0.5)), long(std::lround(cy - h * 0.5)),
                      long(std::lround(cx + w * 0.5)), long(std::lround(cy + h * 0.5))};
    const int tw = int(target.right - target.left), th = int(target.bottom - target.top);
    if (tw <= 0 || th <= 0) return S_OK;
    if (tw != picture.Width() || th != picture.Height())
      picture = Resampler::Whole(picture, tw, th, ResampleQuality::Good);
    BitmapObject* drawn = NewBitmapObject();
    if (!drawn) return E_OUTOFMEMORY;
    drawn->Adopt(std::move(picture));
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, mapping->clip.left, mapping->clip.top, mapping->clip.right, mapping->clip.bottom);
    const RECT whole{0, 0, tw, th};
    const POINT origin{0, 0};
    const HRESULT hr = callback ? drawn->DrawManaged(dc, &target, &origin, SRCCOPY, callback)
                                : drawn->DrawRect(dc, &target, &whole, SRCCOPY);
    RestoreDC(dc, saved);
    drawn->Release();
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT PictureObject::GetProperty(BSTR name, VARIANT* value) {
  if (!value) return E_POINTER;
  VariantInit(value);
  if (!name) return E_INVALIDARG;
  std::lock_guard<std::recursive_mutex> guard(lock_);
  const auto found = properties_.find(std::wstring(name, SysStringLen(name)));
  if (found == properties_.end()) return S_FALSE;
  return VariantCopy(value, &found->second);
}

HRESULT PictureObject::SetProperty(BSTR name, VARIANT value) {
  if (!name) return E_INVALIDARG;
  VARIANT copy;
  VariantInit(&copy);
  const HRESULT hr = VariantCopy(&copy, &value);
  if (FAILED(hr)) return hr;
  std::lock_guard<std::recursive_mutex> guard(lock_);
  VARIANT& held = properties_[std::wstring(name, SysStringLen(name))];
  VariantClear(&held);
  held = copy;
  return S_OK;
}

}  // namespace zvkImage
