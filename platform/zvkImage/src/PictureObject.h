// The picture object: a source bitmap cut by a crop (and a fixed ratio), laid over a background that covers
// its frame, with an overlay on top, drawn where a mapping places it. Free-threaded like the bitmaps; every
// method takes the object's lock and answers an HRESULT.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include <zvkImage/zvkImage.h>

#include "PixelImage.h"

namespace zvkImage {

#define ZVK_PICTURE_RESERVED(n) \
  HRESULT STDMETHODCALLTYPE Reserved##n() override { return E_NOTIMPL; }

class PictureObject final : public IRenderPicture,
                            public IPictureFrame,
                            public IIcmDraw,
                            public IRenderCrop,
                            public IRenderAspect,
                            public IRenderOverlay,
                            public IRenderBackground {
 public:
  PictureObject() = default;
  PictureObject(const PictureObject&) = delete;
  PictureObject& operator=(const PictureObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetSource(IBitmap** source) override { return Get(source_, source); }
  HRESULT STDMETHODCALLTYPE SetSource(IBitmap* source) override { return Set(source_, source); }

  HRESULT STDMETHODCALLTYPE GetSize(PictureSize* size) override;
  HRESULT STDMETHODCALLTYPE Draw(HDC dc, const Mapping* mapping, const Frame* frame,
                                 const void* block) override;
  HRESULT STDMETHODCALLTYPE GetProperty(BSTR name, VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE SetProperty(BSTR name, VARIANT value) override;

  // As Draw, the pixels converted by the callback once they are scaled to the size they are painted.
  HRESULT STDMETHODCALLTYPE DrawManaged(HDC dc, const Mapping* mapping, const Frame* frame, const void* block,
                                        IRenderIcmCallback* callback) override;

  HRESULT STDMETHODCALLTYPE GetOffsetX(double* x) override { return GetValue(crop_.x, x); }
  HRESULT STDMETHODCALLTYPE SetOffsetX(double x) override { return SetFinite(crop_.x, x); }
  HRESULT STDMETHODCALLTYPE GetOffsetY(double* y) override { return GetValue(crop_.y, y); }
  HRESULT STDMETHODCALLTYPE SetOffsetY(double y) override { return SetFinite(crop_.y, y); }
  HRESULT STDMETHODCALLTYPE GetZoom(double* zoom) override { return GetValue(crop_.zoom, zoom); }
  HRESULT STDMETHODCALLTYPE SetZoom(double zoom) override;

  HRESULT STDMETHODCALLTYPE GetAspectOn(long* on) override;
  HRESULT STDMETHODCALLTYPE SetAspectOn(long on) override;
  HRESULT STDMETHODCALLTYPE GetAspectWidth(ULONG* width) override;
  HRESULT STDMETHODCALLTYPE SetAspectWidth(ULONG width) override;
  HRESULT STDMETHODCALLTYPE GetAspectHeight(ULONG* height) override;
  HRESULT STDMETHODCALLTYPE SetAspectHeight(ULONG height) override;

  HRESULT STDMETHODCALLTYPE GetOverlay(IBitmap** overlay) override { return Get(overlay_, overlay); }
  HRESULT STDMETHODCALLTYPE SetOverlay(IBitmap* overlay) override { return Set(overlay_, overlay); }
  HRESULT STDMETHODCALLTYPE GetBackground(IBitmap** background) override {
    return Get(background_, background);
  }
  HRESULT STDMETHODCALLTYPE SetBackground(IBitmap* background) override {
    return Set(background_, background);
  }

  ZVK_PICTURE_RESERVED(3)
  ZVK_PICTURE_RESERVED(4)
  ZVK_PICTURE_RESERVED(5)
  ZVK_PICTURE_RESERVED(6)
  ZVK_PICTURE_RESERVED(7)
  ZVK_PICTURE_RESERVED(8)
  ZVK_PICTURE_RESERVED(9)
  ZVK_PICTURE_RESERVED(10)
  ZVK_PICTURE_RESERVED(11)
  ZVK_PICTURE_RESERVED(12)
  ZVK_PICTURE_RESERVED(13)
  ZVK_PICTURE_RESERVED(14)
  ZVK_PICTURE_RESERVED(15)
  ZVK_PICTURE_RESERVED(16)
  ZVK_PICTURE_RESERVED(17)

  // The composed frame: the cut source over the background, the overlay on top. Empty without a source.
  PixelImage Compose();

 private:
  ~PictureObject();
  HRESULT Get(IBitmap* held, IBitmap** out);
  HRESULT Set(IBitmap*& held, IBitmap* given);
  template <class T>
  HRESULT GetValue(const T& held, T* out) {
    if (!out) return E_POINTER;
    std::lock_guard<std::recursive_mutex> guard(lock_);
    *out = held;
    return S_OK;
  }
  HRESULT SetFinite(double& held, double value);
  // The frame draw; with a callback the scaled pixels are converted before they meet the device context.
  HRESULT DrawFramed(HDC dc, const Mapping* mapping, const Frame* frame, IRenderIcmCallback* callback);
  // The rectangle of the source, in its pixels, that the frame shows; false without a source or crop.
  bool Cut(long& width, long& height, RECT& cut);

  std::atomic<ULONG> refs_{1};
  std::recursive_mutex lock_;
  IBitmap* source_ = nullptr;
  IBitmap* overlay_ = nullptr;
  IBitmap* background_ = nullptr;
  CropGeometry crop_;
  std::map<std::wstring, VARIANT> properties_;
};

#undef ZVK_PICTURE_RESERVED

}  // namespace zvkImage
