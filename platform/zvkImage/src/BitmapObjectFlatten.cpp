// A bitmap laid over a fill colour in bands: each band of the source is copied, handed to the program's
// colour conversion, then composited with alpha and mask over the fill into the result. Only one band is
// held besides the result, and a bitmap flattened in place holds no second picture at all.
#include <algorithm>
#include <mutex>
#include <vector>

#include "BitmapObject.h"

namespace zvkImage {

HRESULT BitmapObject::FlattenFrom(IBitmap* source, IBitmap* mask, COLORREF fill,
                                  IRenderIcmCallback* callback) {
  BitmapObject* from = FromInterface(source);
  if (!from) return source ? E_INVALIDARG : E_POINTER;
  BitmapObject* maskObject = mask ? FromInterface(mask) : nullptr;
  if (mask && !maskObject) return E_INVALIDARG;
  try {
    GreyPlane given;
    if (maskObject) {
      given = MaskPlaneOf(*maskObject);
      if (given.Empty()) return E_INVALIDARG;
    }
    // Both locks, whichever object is which: the result is written under its own lock only.
    std::unique_lock<std::recursive_mutex> own(lock_, std::defer_lock), other(from->lock_, std::defer_lock);
    if (from == this)
      own.lock();
    else
      std::lock(own, other);
    if (dc_) return E_ACCESSDENIED;
    const PixelImage& src = from->image_;
    if (src.Empty()) return E_UNEXPECTED;
    const GreyPlane& plane = maskObject ? given : from->mask_;
    const int w = src.Width(), h = src.Height();
    PixelImage made;
    if (from != this) {
      made.Allocate(w, h, false);
      made.dpiX = src.dpiX;
      made.dpiY = src.dpiY;
    }
    PixelImage& out = from == this ? image_ : made;
    const uint8_t under[3] = {GetBValue(fill), GetGValue(fill), GetRValue(fill)};
    const size_t stride = PixelImage::StrideOf(w);
    const int bandRows = std::max(1, std::min(h, int((size_t(8) << 20) / stride)));
    std::vector<uint8_t> band(stride * size_t(bandRows));
    for (int top = 0; top < h; top += bandRows) {
      const int rows = std::min(bandRows, h - top);
      for (int y = 0; y < rows; ++y)
        std::copy_n(src.Row(top + y), size_t(w) * 3, band.data() + size_t(y) * stride);
      if (callback) {
        const HRESULT hr = callback->ConvertRows(band.data(), w, rows, long(stride));
        if (FAILED(hr)) return hr;
      }
      for (int y = 0; y < rows; ++y) {
        const int sy = top + y;
        const uint8_t* p = band.data() + size_t(y) * stride;
        uint8_t* d = out.Row(sy);
        const uint8_t* a = src.HasAlpha() ? src.AlphaRow(sy) : nullptr;
        const uint8_t* m = plane.Empty() ? nullptr : plane.Row(int(int64_t(sy) * plane.height / h));
        if (!a && !m) {
          std::copy_n(p, size_t(w) * 3, d);
          continue;
        }
        for (int x = 0; x < w; ++x, d += 3, p += 3) {
          int alpha = a ? a[x] : 255;
          if (m) alpha = alpha * m[int64_t(x) * plane.width / w] / 255;
          for (int c = 0; c < 3; ++c) d[c] = uint8_t((p[c] * alpha + under[c] * (255 - alpha) + 127) / 255);
        }
      }
    }
    if (from != this) image_ = std::move(made);
    image_.DropAlpha();
    mask_.Clear();
    NewPicture();
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace zvkImage
