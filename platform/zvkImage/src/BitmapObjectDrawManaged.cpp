// The managed draw: the bitmap scaled to the target (only the part the device context shows), handed band by
// band to the program's colour-management callback to convert in place, then composited with alpha and mask
// over what the device context holds, or copied onto it.
#include <algorithm>
#include <atomic>
#include <vector>

#include "BitmapObject.h"
#include "ParallelRows.h"

namespace zvkImage {

HRESULT BitmapObject::DrawManaged(HDC dc, const RECT* target, const POINT* srcOrigin, DWORD rop,
                                  IRenderIcmCallback* callback) {
  if (!dc) return E_INVALIDARG;
  if (!target || !callback) return E_POINTER;
  return Guarded([&]() -> HRESULT {
    const int w = image_.Width(), h = image_.Height();
    if (image_.Empty()) return E_UNEXPECTED;
    const RECT source{srcOrigin ? srcOrigin->x : 0, srcOrigin ? srcOrigin->y : 0, w, h};
    const int tw = target->right - target->left, th = target->bottom - target->top;
    const int sw = source.right - source.left, sh = source.bottom - source.top;
    if (tw <= 0 || th <= 0 || sw <= 0 || sh <= 0) return S_OK;
    if (source.left < 0 || source.top < 0) return E_INVALIDARG;

    HRESULT hr = callback->SetupDC(dc, static_cast<IBitmap*>(this));
    if (FAILED(hr)) return hr;

    // Pixels nobody sees are neither scaled nor converted.
    RECT visible = *target;
    RECT clip{};
    if (GetClipBox(dc, &clip) != ERROR && !IntersectRect(&visible, target, &clip)) return S_OK;
    const int vw = visible.right - visible.left, vh = visible.bottom - visible.top;
    if (vw <= 0 || vh <= 0) return S_OK;

    const size_t stride = PixelImage::StrideOf(vw);
    std::vector<uint8_t> pixels(stride * size_t(vh));
    std::vector<int> column(static_cast<size_t>(vw));
    for (int X = 0; X < vw; ++X)
      column[size_t(X)] = source.left + int(int64_t(visible.left - target->left + X) * sw / tw);
    auto sourceRow = [&](int Y) {
      return source.top + int(int64_t(visible.top - target->top + Y) * sh / th);
    };
    // Scaled and converted band by band on the worker pool, each band converted while its rows are still in
    // the cache. A conversion costs several times a scaled pixel, so bands are smaller than for scaling
    // alone.
    constexpr int64_t kBandPixels = 16384;
    const int bands = int(std::clamp<int64_t>(int64_t(vw) * vh / kBandPixels, 1, PartsForThreads()));
    std::atomic<HRESULT> failed{S_OK};
    ParallelParts(vh, bands, [&](int begin, int end) {
      for (int Y = begin; Y < end; ++Y) {
        const uint8_t* s = image_.Row(sourceRow(Y));
        uint8_t* d = pixels.data() + size_t(Y) * stride;
        for (int X = 0; X < vw; ++X, d += 3) {
          const uint8_t* p = s + size_t(column[size_t(X)]) * 3;
          d[0] = p[0], d[1] = p[1], d[2] = p[2];
        }
      }
      const HRESULT converted =
          callback->ConvertRows(pixels.data() + size_t(begin) * stride, vw, end - begin, long(stride));
      HRESULT none = S_OK;
      if (FAILED(converted)) failed.compare_exchange_strong(none, converted);
    });
    hr = failed.load();
    if (FAILED(hr)) return hr;

    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof(bi);
    bi.biWidth = vw;
    bi.biHeight = -vh;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    bi.biCompression = BI_RGB;
    if (!image_.HasAlpha() && mask_.Empty()) {
      const int done = StretchDIBits(dc, visible.left, visible.top, vw, vh, 0, 0, vw, vh, pixels.data(),
                                     reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, rop);
      return done == 0 ? E_FAIL : S_OK;
    }
    // Straight alpha (times the mask) over what the device context holds, which stays as it is.
    void* bits = nullptr;
    HBITMAP canvas =
        CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!canvas || !bits) {
      if (canvas) DeleteObject(canvas);
      return E_OUTOFMEMORY;
    }
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) {
      DeleteObject(canvas);
      return E_FAIL;
    }
    HGDIOBJ old = SelectObject(memory, canvas);
    BitBlt(memory, 0, 0, vw, vh, dc, visible.left, visible.top, SRCCOPY);
    GdiFlush();
    for (int Y = 0; Y < vh; ++Y) {
      const int sy = sourceRow(Y);
      const uint8_t* a = image_.HasAlpha() ? image_.AlphaRow(sy) : nullptr;
      const uint8_t* m = mask_.Empty() ? nullptr : mask_.Row(int(int64_t(sy) * mask_.height / h));
      const uint8_t* p = pixels.data() + size_t(Y) * stride;
      uint8_t* d = static_cast<uint8_t*>(bits) + size_t(Y) * stride;
      for (int X = 0; X < vw; ++X, d += 3, p += 3) {
        const int sx = column[size_t(X)];
        int alpha = a ? a[sx] : 255;
        if (m) alpha = alpha * m[int64_t(sx) * mask_.width / w] / 255;
        for (int c = 0; c < 3; ++c) d[c] = uint8_t((p[c] * alpha + d[c] * (255 - alpha) + 127) / 255);
      }
    }
    const BOOL done = BitBlt(dc, visible.left, visible.top, vw, vh, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(canvas);
    return done ? S_OK : E_FAIL;
  });
}

}  // namespace zvkImage
