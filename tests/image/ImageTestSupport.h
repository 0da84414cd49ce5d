// Small pictures with known pixels for the image library's tests, and ways to read the pixels back.
#pragma once

#include <atomic>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <zvkImage/zvkImage.h>

namespace imagetest {

// Holds one reference; released at the end of the scope.
template <class T>
struct Ref {
  T* p = nullptr;
  Ref() = default;
  explicit Ref(T* t) : p(t) {}
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  Ref(Ref&& o) noexcept : p(o.p) { o.p = nullptr; }
  Ref& operator=(Ref&& o) noexcept {
    if (this != &o) {
      if (p) p->Release();
      p = o.p;
      o.p = nullptr;
    }
    return *this;
  }
  ~Ref() {
    if (p) p->Release();
  }
  T* operator->() const { return p; }
  T** Out() {
    if (p) p->Release();
    p = nullptr;
    return &p;
  }
  explicit operator bool() const { return p != nullptr; }
};

template <class T, class U>
Ref<T> Query(U* from) {
  Ref<T> r;
  if (from) from->QueryInterface(__uuidof(T), reinterpret_cast<void**>(r.Out()));
  return r;
}

inline Ref<zvkImage::IBitmap> NewBitmap() {
  IUnknown* unknown = nullptr;
  EXPECT_EQ(S_OK, zvkImage::CreateObject(zvkImage::CLSID_Bitmap, CLSCTX_ALL, &unknown));
  Ref<IUnknown> holder(unknown);
  return Query<zvkImage::IBitmap>(unknown);
}

using PixelFn = std::function<COLORREF(int x, int y)>;

// A bitmap of w x h whose pixel (x, y) is colour(x, y), handed over as a packed DIB.
inline Ref<zvkImage::IBitmap> MakeBitmap(int w, int h, const PixelFn& colour) {
  const size_t stride = (size_t(w) * 3 + 3) & ~size_t(3);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + stride * h);
  auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
  *bi = BITMAPINFOHEADER{};
  bi->biSize = sizeof(BITMAPINFOHEADER);
  bi->biWidth = w;
  bi->biHeight = h;  // bottom-up, as DIBs usually are
  bi->biPlanes = 1;
  bi->biBitCount = 24;
  uint8_t* rows = reinterpret_cast<uint8_t*>(bi + 1);
  for (int y = 0; y < h; ++y) {
    uint8_t* r = rows + size_t(h - 1 - y) * stride;
    for (int x = 0; x < w; ++x) {
      const COLORREF c = colour(x, y);
      r[3 * x] = GetBValue(c), r[3 * x + 1] = GetGValue(c), r[3 * x + 2] = GetRValue(c);
    }
    for (size_t k = size_t(w) * 3; k < stride; ++k) r[k] = 0;
  }
  GlobalUnlock(block);
  auto bitmap = NewBitmap();
  EXPECT_EQ(S_OK, bitmap->AttachHandle(block));
  return bitmap;
}

inline Ref<zvkImage::IBitmap> MakeFlat(int w, int h, COLORREF c) {
  return MakeBitmap(w, h, [c](int, int) { return c; });
}

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> values;
  COLORREF At(int x, int y) const { return values[size_t(y) * width + x]; }
};

// Every pixel (the picture must have at most 65536 pixels).
inline Pixels Read(zvkImage::IBitmap* bitmap) {
  Pixels out;
  auto ex = Query<zvkImage::IBitmapEx>(bitmap);
  long w = 0, h = 0;
  ex->GetWidth(&w);
  ex->GetHeight(&h);
  out.width = int(w);
  out.height = int(h);
  if (w == 0 || h == 0) return out;
  RECT r{0, 0, w, h};
  VARIANT v;
  EXPECT_EQ(S_OK, ex->Sample(&r, &v));
  if (v.vt == VT_I4) {
    out.values.push_back(COLORREF(v.lVal));
  } else {
    LONG* data = nullptr;
    SafeArrayAccessData(v.parray, reinterpret_cast<void**>(&data));
    out.values.assign(data, data + size_t(w) * h);
    SafeArrayUnaccessData(v.parray);
  }
  VariantClear(&v);
  return out;
}

// The alpha of every pixel, through the matte.
inline std::vector<int> ReadAlpha(zvkImage::IBitmap* bitmap) {
  auto ex = Query<zvkImage::IBitmapEx>(bitmap);
  Ref<zvkImage::IBitmap> matte;
  EXPECT_EQ(S_OK, ex->Matte(matte.Out()));
  std::vector<int> alpha;
  for (COLORREF c : Read(matte.p).values) alpha.push_back(GetRValue(c));
  return alpha;
}

inline int MaxDifference(COLORREF a, COLORREF b) {
  return std::max({std::abs(int(GetRValue(a)) - int(GetRValue(b))),
                   std::abs(int(GetGValue(a)) - int(GetGValue(b))),
                   std::abs(int(GetBValue(a)) - int(GetBValue(b)))});
}

// A picture with a few colours in blocks, for exact round trips through palettes.
inline COLORREF Blocks(int x, int y) {
  static const COLORREF colours[] = {RGB(255, 0, 0),  RGB(0, 255, 0),    RGB(0, 0, 255), RGB(250, 250, 250),
                                     RGB(10, 20, 30), RGB(200, 120, 40), RGB(0, 0, 0),   RGB(128, 128, 128)};
  return colours[((x / 4) + (y / 4) * 3) % 8];
}

// A colour conversion for the managed draws that inverts every pixel it is given, and counts what it was
// asked. Draws may hand it several blocks of rows from several threads at once.
struct InvertingCallback : zvkImage::IRenderIcmCallback {
  HRESULT setup = S_OK;
  HRESULT convert = S_OK;
  std::atomic<int> setups{0};
  std::atomic<long> pixels{0};
  HRESULT STDMETHODCALLTYPE SetupDC(HDC, IUnknown*) override { return ++setups, setup; }
  HRESULT STDMETHODCALLTYPE ConvertRows(BYTE* bits, long width, long height, long stride) override {
    if (FAILED(convert)) return convert;
    for (long y = 0; y < height; ++y)
      for (long x = 0; x < width * 3; ++x) bits[y * stride + x] = BYTE(255 - bits[y * stride + x]);
    pixels += width * height;
    return S_OK;
  }
};

inline std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

struct Bstr {
  BSTR b;
  explicit Bstr(const std::string& s) : b(SysAllocString(Wide(s).c_str())) {}
  ~Bstr() { SysFreeString(b); }
  operator BSTR() const { return b; }
};

}  // namespace imagetest
