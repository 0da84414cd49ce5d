// The bitmap and GDI: taking over DIBs and bitmap handles, drawing (with alpha and mask composited over what
// the device context holds), the device context onto the pixels, and the mask.
#include <algorithm>
#include <cstring>
#include <vector>

#include "BitmapObject.h"

namespace zvkImage {
namespace {

BITMAPINFOHEADER TopDown24(int w, int h) {
  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof(bi);
  bi.biWidth = w;
  bi.biHeight = -h;
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  bi.biCompression = BI_RGB;
  return bi;
}

// A packed DIB (header, colour table, rows) to pixels; false for layouts this library does not read.
bool FromPackedDib(const uint8_t* data, size_t size, PixelImage& image) {
  if (size < sizeof(BITMAPINFOHEADER)) return false;
  BITMAPINFOHEADER bi;
  std::memcpy(&bi, data, sizeof(bi));
  if (bi.biSize < sizeof(BITMAPINFOHEADER) || bi.biSize > size || bi.biPlanes != 1) return false;
  const int64_t w = bi.biWidth, h = bi.biHeight < 0 ? -int64_t(bi.biHeight) : bi.biHeight;
  if (w <= 0 || h <= 0 || !PixelImage::SizeAllowed(w, h)) return false;
  const int bits = bi.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  if (bi.biCompression != BI_RGB && !(bi.biCompression == BI_BITFIELDS && bits == 32)) return false;
  uint64_t colours = bi.biClrUsed ? bi.biClrUsed : (bits <= 8 ? (1u << bits) : 0);
  if (colours > 256) return false;
  uint64_t offset = bi.biSize + colours * 4 + (bi.biCompression == BI_BITFIELDS && bi.biSize == 40 ? 12 : 0);
  const uint64_t stride = ((uint64_t(w) * bits + 31) / 32) * 4;
  if (offset > size || stride * uint64_t(h) > size - offset) return false;
  const RGBQUAD* palette = reinterpret_cast<const RGBQUAD*>(data + bi.biSize);
  PixelImage out;
  out.Allocate(int(w), int(h), false);
  if (bi.biXPelsPerMeter > 0) out.dpiX = bi.biXPelsPerMeter * 0.0254;
  if (bi.biYPelsPerMeter > 0) out.dpiY = bi.biYPelsPerMeter * 0.0254;
  for (int64_t r = 0; r < h; ++r) {
    const uint8_t* s = data + offset + stride * uint64_t(r);
    uint8_t* d = out.Row(int(bi.biHeight < 0 ? r : h - 1 - r));
    for (int64_t x = 0; x < w; ++x, d += 3) {
      if (bits == 24)
        d[0] = s[3 * x], d[1] = s[3 * x + 1], d[2] = s[3 * x + 2];
      else if (bits == 32)
        d[0] = s[4 * x], d[1] = s[4 * x + 1], d[2] = s[4 * x + 2];
      else {
        const int perByte = 8 / bits;
        const int shift = 8 - bits - int(x % perByte) * bits;
        const uint32_t index = (s[x / perByte] >> shift) & ((1u << bits) - 1);
        const RGBQUAD q = index < colours ? palette[index] : RGBQUAD{};
        d[0] = q.rgbBlue, d[1] = q.rgbGreen, d[2] = q.rgbRed;
      }
    }
  }
  image = std::move(out);
  return true;
}

bool FromBitmapHandle(HBITMAP bitmap, PixelImage& image) {
  BITMAP info{};
  if (!GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return false;
  if (!PixelImage::SizeAllowed(info.bmWidth, info.bmHeight)) return false;
  PixelImage out;
  out.Allocate(info.bmWidth, info.bmHeight, false);
  BITMAPINFOHEADER bi = TopDown24(info.bmWidth, info.bmHeight);
  HDC screen = ::GetDC(nullptr);
  const int rows = GetDIBits(screen, bitmap, 0, UINT(info.bmHeight), out.Bits(),
                             reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  if (rows != info.bmHeight) return false;
  image = std::move(out);
  return true;
}

}  // namespace

HRESULT BitmapObject::AttachHandle(HANDLE handle) {
  if (!handle) return E_INVALIDARG;
  return Guarded([&] {
    if (dc_) return E_ACCESSDENIED;
    PixelImage taken;
    if (GetObjectType(handle) == OBJ_BITMAP) {
      if (!FromBitmapHandle(static_cast<HBITMAP>(handle), taken)) return E_INVALIDARG;
      DeleteObject(handle);
    } else {
      const SIZE_T size = GlobalSize(handle);
      if (size == 0) return E_INVALIDARG;
      const uint8_t* data = static_cast<const uint8_t*>(GlobalLock(handle));
      if (!data) return E_INVALIDARG;
      const bool ok = FromPackedDib(data, size, taken);
      GlobalUnlock(handle);
      if (!ok) return E_INVALIDARG;
      GlobalFree(handle);
    }
    image_ = std::move(taken);
    mask_.Clear();
    NewPicture();
    return S_OK;
  });
}

HRESULT BitmapObject::Draw(HDC dc, const RECT* target, const POINT* srcOrigin, DWORD rop) {
  if (!target) return E_POINTER;
  RECT source{0, 0, 0, 0};
  {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    source.left = srcOrigin ? srcOrigin->x : 0;
    source.top = srcOrigin ? srcOrigin->y : 0;
    source.right = image_.Width();
    source.bottom = image_.Height();
  }
  return DrawRect(dc, target, &source, rop);
}

HRESULT BitmapObject::DrawRect(HDC dc, const RECT* target, const RECT* source, DWORD rop) {
  if (!dc) return E_INVALIDARG;
  if (!target || !source) return E_POINTER;
  return Guarded([&] {
    const int w = image_.Width(), h = image_.Height();
    if (image_.Empty()) return E_UNEXPECTED;
    const int tw = target->right - target->left, th = target->bottom - target->top;
    const int sw = source->right - source->left, sh = source->bottom - source->top;
    if (tw <= 0 || th <= 0 || sw <= 0 || sh <= 0) return S_OK;
    if (source->left < 0 || source->top < 0 || source->right > w || source->bottom > h) return E_INVALIDARG;
    if (!image_.HasAlpha() && mask_.Empty()) {
      BITMAPINFOHEADER bi = TopDown24(w, h);
      SetStretchBltMode(dc, COLORONCOLOR);
      // With a top-down DIB, the source y counts from the top row.
      const int done = StretchDIBits(dc, target->left, target->top, tw, th, source->left, source->top, sw, sh,
                                     image_.Bits(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, rop);
      return done == 0 ? E_FAIL : S_OK;
    }
    // Straight alpha (times the mask) composited over what the device context holds.
    BITMAPINFOHEADER bi = TopDown24(tw, th);
    void* bits = nullptr;
    HBITMAP canvas =
        CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!canvas || !bits) return E_OUTOFMEMORY;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, canvas);
    BitBlt(memory, 0, 0, tw, th, dc, target->left, target->top, SRCCOPY);
    GdiFlush();
    const size_t stride = PixelImage::StrideOf(tw);
    std::vector<int> column(static_cast<size_t>(tw));
    for (int X = 0; X < tw; ++X) column[size_t(X)] = source->left + int(int64_t(X) * sw / tw);
    for (int Y = 0; Y < th; ++Y) {
      const int sy = source->top + int(int64_t(Y) * sh / th);
      const uint8_t* s = image_.Row(sy);
      const uint8_t* a = image_.HasAlpha() ? image_.AlphaRow(sy) : nullptr;
      const uint8_t* m = mask_.Empty() ? nullptr : mask_.Row(int(int64_t(sy) * mask_.height / h));
      uint8_t* d = static_cast<uint8_t*>(bits) + size_t(Y) * stride;
      for (int X = 0; X < tw; ++X, d += 3) {
        const int sx = column[size_t(X)];
        int alpha = a ? a[sx] : 255;
        if (m) alpha = alpha * m[int64_t(sx) * mask_.width / w] / 255;
        const uint8_t* p = s + size_t(sx) * 3;
        for (int c = 0; c < 3; ++c) d[c] = uint8_t((p[c] * alpha + d[c] * (255 - alpha) + 127) / 255);
      }
    }
    BitBlt(dc, target->left, target->top, tw, th, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(canvas);
    return S_OK;
  });
}

HRESULT BitmapObject::GetDC(HDC* dc) {
  if (!dc) return E_POINTER;
  *dc = nullptr;
  return Guarded([&] {
    if (dc_) {  // one device context at a time; asking again gives the same one
      *dc = dc_;
      return S_OK;
    }
    if (image_.Empty()) return E_UNEXPECTED;
    BITMAPINFOHEADER bi = TopDown24(image_.Width(), image_.Height());
    void* bits = nullptr;
    HBITMAP section =
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits) return E_OUTOFMEMORY;
    HDC memory = CreateCompatibleDC(nullptr);
    if (!memory) {
      DeleteObject(section);
      return E_FAIL;
    }
    std::memcpy(bits, image_.Bits(), image_.Stride() * size_t(image_.Height()));
    dcOldBitmap_ = SelectObject(memory, section);
    dc_ = memory;
    dcBitmap_ = section;
    dcBits_ = bits;
    dcWidth_ = image_.Width();
    dcHeight_ = image_.Height();
    *dc = dc_;
    return S_OK;
  });
}

HRESULT BitmapObject::ReleaseDC(HDC dc) {
  return Guarded([&] {
    if (!dc_) return S_FALSE;
    if (dc && dc != dc_) return E_INVALIDARG;
    GdiFlush();
    // The library's own code may have given the bitmap new pixels meanwhile; a copy of another size is
    // dropped rather than written past the pixels.
    if (dcBits_ && !image_.Empty() && image_.Width() == dcWidth_ && image_.Height() == dcHeight_) {
      std::memcpy(image_.Bits(), dcBits_, image_.Stride() * size_t(image_.Height()));
      ForgetKeying();
    }
    // GDI leaves the padding bytes alone, but keep them zero whatever happened.
    const size_t used = size_t(image_.Width()) * 3;
    if (image_.Stride() != used)
      for (int y = 0; y < image_.Height(); ++y) std::memset(image_.Row(y) + used, 0, image_.Stride() - used);
    SelectObject(dc_, dcOldBitmap_);
    DeleteDC(dc_);
    DeleteObject(dcBitmap_);
    dc_ = nullptr;
    dcBitmap_ = nullptr;
    dcOldBitmap_ = nullptr;
    dcBits_ = nullptr;
    return S_OK;
  });
}

PixelImage BitmapObject::SnapshotMasked() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  PixelImage copy = image_.Clone();
  if (mask_.Empty() || copy.Empty()) return copy;
  if (!copy.HasAlpha()) copy.AddAlpha(255);
  const int w = copy.Width(), h = copy.Height();
  for (int y = 0; y < h; ++y) {
    const uint8_t* m = mask_.Row(int(int64_t(y) * mask_.height / h));
    uint8_t* a = copy.AlphaRow(y);
    for (int x = 0; x < w; ++x) a[x] = uint8_t((a[x] * m[int64_t(x) * mask_.width / w] + 127) / 255);
  }
  return copy;
}

HRESULT BitmapObject::RemoveMask() {
  return Guarded([&] {
    mask_.Clear();
    return S_OK;
  });
}

GreyPlane BitmapObject::MaskPlaneOf(BitmapObject& mask) {
  GreyPlane plane;
  std::lock_guard<std::recursive_mutex> guard(mask.lock_);
  const PixelImage& m = mask.image_;
  if (m.Empty()) return plane;
  plane.width = m.Width();
  plane.height = m.Height();
  plane.values.resize(size_t(m.Width()) * m.Height());
  for (int y = 0; y < m.Height(); ++y) {
    const uint8_t* p = m.Row(y);
    uint8_t* d = &plane.values[size_t(y) * m.Width()];
    for (int x = 0; x < m.Width(); ++x, p += 3)
      d[x] = uint8_t((p[0] * 29 + p[1] * 150 + p[2] * 77 + 128) >> 8);
  }
  return plane;
}

HRESULT BitmapObject::SetMask(IBitmap* mask) {
  BitmapObject* other = FromInterface(mask);
  if (!other) return mask ? E_INVALIDARG : E_POINTER;
  try {
    GreyPlane plane = MaskPlaneOf(*other);
    if (plane.Empty()) return E_INVALIDARG;
    return Guarded([&] {
      mask_ = std::move(plane);
      return S_OK;
    });
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace zvkImage
