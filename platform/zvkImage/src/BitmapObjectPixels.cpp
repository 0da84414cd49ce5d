// The bitmap's pixel operations: resampling, cutting, turning, mirrors, tables, saturation, sharpening, the
// hue key, samples and the matte, and the program's row processes.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "BitmapObject.h"
#include "CutRegion.h"
#include "ImageLibrary.h"
#include "PixelOps.h"
#include "Resampler.h"
#include "Rotator.h"
#include "ToneTables.h"

namespace zvkImage {

HRESULT BitmapObject::ResampleTo(long width, long height, long bits, bool fast) {
  if (bits != 24 && bits != 0) return E_INVALIDARG;
  if (width <= 0 || height <= 0 || !PixelImage::SizeAllowed(width, height)) return E_INVALIDARG;
  return Guarded([&] {
    if (image_.Empty()) return E_UNEXPECTED;
    if (width == image_.Width() && height == image_.Height()) return S_OK;
    if (dc_) return E_ACCESSDENIED;
    image_ = Resampler::Whole(image_, int(width), int(height),
                              fast ? ResampleQuality::Fast : ResampleQuality::Good);
    mask_.Clear();
    NewPicture();
    return S_OK;
  });
}

HRESULT BitmapObject::ResampleFast(long width, long height, long bits) {
  return ResampleTo(width, height, bits, true);
}
HRESULT BitmapObject::Resample(long width, long height, long bits) {
  return ResampleTo(width, height, bits, false);
}

HRESULT BitmapObject::CopyRect(IBitmap* source, long left, long top, long right, long bottom) {
  BitmapObject* other = FromInterface(source);
  if (!other) return source ? E_INVALIDARG : E_POINTER;
  try {
    PixelImage part;
    {
      std::lock_guard<std::recursive_mutex> guard(other->lock_);
      const PixelImage& src = other->image_;
      const long l = std::max(0L, left), t = std::max(0L, top);
      const long r = std::min(long(src.Width()), right), b = std::min(long(src.Height()), bottom);
      if (r <= l || b <= t) return E_INVALIDARG;
      part.Allocate(int(r - l), int(b - t), false);
      part.dpiX = src.dpiX;
      part.dpiY = src.dpiY;
      if (src.HasAlpha()) part.AddAlpha(255);
      for (long y = t; y < b; ++y) {
        std::memcpy(part.Row(int(y - t)), src.Row(int(y)) + size_t(l) * 3, size_t(r - l) * 3);
        if (src.HasAlpha()) std::memcpy(part.AlphaRow(int(y - t)), src.AlphaRow(int(y)) + l, size_t(r - l));
      }
    }
    return Guarded([&] {
      if (dc_) return E_ACCESSDENIED;
      image_ = std::move(part);
      mask_.Clear();
      NewPicture();
      return S_OK;
    });
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT BitmapObject::ResampleRect(IBitmap* source, long left, long top, long right, long bottom, long width,
                                   long height) {
  BitmapObject* other = FromInterface(source);
  if (!other) return source ? E_INVALIDARG : E_POINTER;
  if (width <= 0 || height <= 0 || !PixelImage::SizeAllowed(width, height)) return E_INVALIDARG;
  try {
    PixelImage sized;
    {
      std::lock_guard<std::recursive_mutex> guard(other->lock_);
      const PixelImage& src = other->image_;
      if (src.Empty()) return E_UNEXPECTED;
      const long l = std::max(0L, left), t = std::max(0L, top);
      const long r = std::min(long(src.Width()), right), b = std::min(long(src.Height()), bottom);
      if (r <= l || b <= t) return E_INVALIDARG;
      sized = Resampler::Region(src, int(width), int(height), double(r - l) / double(width), double(l),
                                double(b - t) / double(height), double(t), ResampleQuality::Good);
      sized.dpiX = src.dpiX;
      sized.dpiY = src.dpiY;
    }
    return Guarded([&] {
      if (dc_) return E_ACCESSDENIED;
      image_ = std::move(sized);
      mask_.Clear();
      NewPicture();
      return S_OK;
    });
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT BitmapObject::Rotate(float turns) {
  if (!std::isfinite(turns)) return E_INVALIDARG;
  return Guarded([&] {
    if (image_.Empty()) return E_UNEXPECTED;
    const double t = double(turns) - std::floor(double(turns));
    if (t == 0.0) return S_OK;
    if (dc_) return E_ACCESSDENIED;
    image_ = Rotator::Turn(image_, t);
    mask_.Clear();
    ForgetKeying();
    turn_.turns += t;  // the keyer places areas through the turn since the original size
    return S_OK;
  });
}

HRESULT BitmapObject::HueKey(const float* params) {
  if (!params) return E_POINTER;
  for (int i = 0; i < 5; ++i)
    if (!std::isfinite(params[i])) return E_INVALIDARG;
  return Guarded([&] {
    PixelOps::HueKey(image_, params);
    ForgetKeying();
    return S_OK;
  });
}

HRESULT BitmapObject::RunProcess(IBitmapProcess* process, long) {
  if (!process) return E_POINTER;
  IBitmapProcessRaster* raster = nullptr;
  HRESULT hr = process->QueryInterface(__uuidof(IBitmapProcessRaster), reinterpret_cast<void**>(&raster));
  if (FAILED(hr) || !raster) return FAILED(hr) ? hr : E_NOINTERFACE;
  hr = Guarded([&] {
    const int w = image_.Width(), h = image_.Height();
    if (size_t(w) * 3 > 0xFFFF) return E_INVALIDARG;  // a row's byte count is 16 bits
    long order[3] = {2, 1, 0};
    HRESULT result = raster->GetFormat(&order[0], &order[1], &order[2]);
    if (FAILED(result)) return result;
    for (long o : order)
      if (o < 0 || o > 2) return E_INVALIDARG;
    if (order[0] == order[1] || order[1] == order[2] || order[0] == order[2]) return E_INVALIDARG;
    result = process->Begin(w, h);
    if (FAILED(result)) return result;
    ForgetKeying();
    std::vector<uint8_t> row(size_t(w) * 3 + 2);
    row[0] = uint8_t(w * 3);
    row[1] = uint8_t((w * 3) >> 8);
    for (int y = 0; y < h && SUCCEEDED(result); ++y) {
      uint8_t* p = image_.Row(y);
      uint8_t* d = row.data() + 2;
      for (int x = 0; x < w; ++x, p += 3, d += 3) d[order[0]] = p[2], d[order[1]] = p[1], d[order[2]] = p[0];
      result = raster->ProcessRow(y, row.data());
      if (FAILED(result)) break;
      p = image_.Row(y);
      d = row.data() + 2;
      for (int x = 0; x < w; ++x, p += 3, d += 3) p[2] = d[order[0]], p[1] = d[order[1]], p[0] = d[order[2]];
    }
    const HRESULT ended = process->End(result);
    return FAILED(result) ? result : (FAILED(ended) ? ended : S_OK);
  });
  raster->Release();
  return hr;
}

HRESULT BitmapObject::Sample(const RECT* rect, VARIANT* sample) {
  if (!rect || !sample) return E_POINTER;
  VariantInit(sample);
  return Guarded([&] {
    const int w = image_.Width(), h = image_.Height();
    // One pixel past an edge is accepted and clamped; anything further is refused.
    if (rect->left < -1 || rect->top < -1 || rect->right > w + 1 || rect->bottom > h + 1) return E_INVALIDARG;
    const long l = std::max(0L, long(rect->left)), t = std::max(0L, long(rect->top));
    const long r = std::min(long(w), long(rect->right)), b = std::min(long(h), long(rect->bottom));
    if (r <= l || b <= t) return E_INVALIDARG;
    auto colour = [&](long x, long y) {
      const uint8_t* p = image_.Row(int(y)) + size_t(x) * 3;
      return LONG(RGB(p[2], p[1], p[0]));
    };
    if (r - l == 1 && b - t == 1) {
      sample->vt = VT_I4;
      sample->lVal = colour(l, t);
      return S_OK;
    }
    // At most 65536 colours: every step-th pixel in each direction.
    const int64_t area = int64_t(r - l) * (b - t);
    const long step = long(std::ceil(std::sqrt(double(area) / 65536.0) - 1e-9));
    const long s = std::max(1L, step);
    const long nx = (r - l + s - 1) / s, ny = (b - t + s - 1) / s;
    SAFEARRAYBOUND bounds[2] = {{ULONG(nx), 0}, {ULONG(ny), 0}};
    SAFEARRAY* array = SafeArrayCreate(VT_I4, 2, bounds);
    if (!array) return E_OUTOFMEMORY;
    LONG* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&data)))) {
      SafeArrayDestroy(array);
      return E_OUTOFMEMORY;
    }
    for (long j = 0; j < ny; ++j)
      for (long i = 0; i < nx; ++i) data[j * nx + i] = colour(l + i * s, t + j * s);
    SafeArrayUnaccessData(array);
    sample->vt = VT_ARRAY | VT_I4;
    sample->parray = array;
    return S_OK;
  });
}

HRESULT BitmapObject::Matte(IBitmap** matte) {
  if (!matte) return E_POINTER;
  *matte = nullptr;
  try {
    PixelImage grey;
    {
      std::lock_guard<std::recursive_mutex> guard(lock_);
      grey.Allocate(image_.Width(), image_.Height(), false);
      grey.dpiX = image_.dpiX;
      grey.dpiY = image_.dpiY;
      for (int y = 0; y < image_.Height(); ++y) {
        uint8_t* d = grey.Row(y);
        const uint8_t* a = image_.HasAlpha() ? image_.AlphaRow(y) : nullptr;
        for (int x = 0; x < image_.Width(); ++x, d += 3) d[0] = d[1] = d[2] = a ? a[x] : 255;
      }
    }
    BitmapObject* result = NewBitmapObject();
    if (!result) return E_OUTOFMEMORY;
    result->Adopt(std::move(grey));
    *matte = static_cast<IBitmap*>(result);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT BitmapObject::Apply(VARIANT tables) {
  return Guarded([&] {
    ChannelTables t;
    const HRESULT hr = ToneTables::FromVariant(tables, t);
    if (hr != S_OK) return FAILED(hr) ? hr : S_OK;
    PixelOps::ApplyTables(image_, t);
    ForgetKeying();
    return S_OK;
  });
}

HRESULT BitmapObject::Extract(long left, long top, long right, long bottom, COLORREF fill, IBitmap** result) {
  if (!result) return E_POINTER;
  *result = nullptr;
  if (right <= left || bottom <= top) return E_INVALIDARG;
  try {
    PixelImage out;
    {
      std::lock_guard<std::recursive_mutex> guard(lock_);
      if (image_.Empty()) return E_UNEXPECTED;
      out = CutRegion(image_, RECT{left, top, right, bottom}, fill);
    }
    BitmapObject* made = NewBitmapObject();
    if (!made) return E_OUTOFMEMORY;
    made->Adopt(std::move(out));
    *result = static_cast<IBitmap*>(made);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT BitmapObject::MirrorVertical() {
  return Guarded([&] {
    PixelOps::MirrorVertical(image_);
    mask_.Clear();
    ForgetKeying();
    return S_OK;
  });
}

HRESULT BitmapObject::MirrorHorizontal() {
  return Guarded([&] {
    PixelOps::MirrorHorizontal(image_);
    mask_.Clear();
    ForgetKeying();
    return S_OK;
  });
}

HRESULT BitmapObject::Sharpen(short kernel, short strength) {
  if (kernel != 3 && kernel != 5 && kernel != 7) return E_INVALIDARG;
  if (strength < 0) return E_INVALIDARG;
  return Guarded([&] {
    if (image_.Empty()) return S_OK;
    PixelOps::Sharpen(image_, kernel, strength);
    ForgetKeying();
    return S_OK;
  });
}

HRESULT BitmapObject::Saturation(float factor) {
  if (!std::isfinite(factor)) return E_INVALIDARG;
  // Below -1 there is nothing less saturated than grey; far above, every colour is already at its limits.
  const float bounded = std::clamp(factor, -1.0f, 100.0f);
  return Guarded([&] {
    PixelOps::AdjustSaturation(image_, bounded);
    ForgetKeying();
    return S_OK;
  });
}

}  // namespace zvkImage
