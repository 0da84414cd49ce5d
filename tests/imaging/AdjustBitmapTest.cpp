// The import processing's mirrors and turns, with the library's transform interface and without it.
#include "AdjustBitmap.h"

#include "ImageTestSupport.h"

#include <gtest/gtest.h>

using namespace imagetest;

namespace {

// Hides every interface of a bitmap but IBitmap, as a library without the transform interface would.
class BitmapWithoutTransform : public zvkImage::IBitmap {
 public:
  explicit BitmapWithoutTransform(zvkImage::IBitmap* inner) : m_inner(inner) { m_inner->AddRef(); }
  ~BitmapWithoutTransform() { m_inner->Release(); }

  STDMETHOD(QueryInterface)(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != __uuidof(zvkImage::IBitmap)) return E_NOINTERFACE;
    *out = static_cast<zvkImage::IBitmap*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHOD_(ULONG, AddRef)() override { return ++m_refs; }
  STDMETHOD_(ULONG, Release)() override {
    ULONG left = --m_refs;
    if (left == 0) delete this;
    return left;
  }

#define FORWARD_RESERVED(n) \
  STDMETHOD(Reserved##n)() override { return E_NOTIMPL; }
  FORWARD_RESERVED(3)
  FORWARD_RESERVED(6)
  FORWARD_RESERVED(7)
  FORWARD_RESERVED(8)
  FORWARD_RESERVED(9)
  FORWARD_RESERVED(11)
  FORWARD_RESERVED(12)
  FORWARD_RESERVED(13)
  FORWARD_RESERVED(16)
  FORWARD_RESERVED(17)
  FORWARD_RESERVED(18)
  FORWARD_RESERVED(19)
  FORWARD_RESERVED(20)
  FORWARD_RESERVED(22)
  FORWARD_RESERVED(25)
  FORWARD_RESERVED(26)
  FORWARD_RESERVED(33)
  FORWARD_RESERVED(35)
  FORWARD_RESERVED(37)
  FORWARD_RESERVED(38)
  FORWARD_RESERVED(39)
  FORWARD_RESERVED(40)
  FORWARD_RESERVED(41)
  FORWARD_RESERVED(44)
  FORWARD_RESERVED(45)
  FORWARD_RESERVED(48)
  FORWARD_RESERVED(52)
#undef FORWARD_RESERVED
  STDMETHOD(GetWidth)(long* w) override { return m_inner->GetWidth(w); }
  STDMETHOD(GetHeight)(long* h) override { return m_inner->GetHeight(h); }
  STDMETHOD(Initialize)(long f) override { return m_inner->Initialize(f); }
  STDMETHOD(Allocate)(long w, long h, long b, long f) override { return m_inner->Allocate(w, h, b, f); }
  STDMETHOD(AttachHandle)(HANDLE h) override { return m_inner->AttachHandle(h); }
  STDMETHOD(CopyFrom)(zvkImage::IBitmap* s) override { return m_inner->CopyFrom(s); }
  STDMETHOD(Load)(BSTR p, long b) override { return m_inner->Load(p, b); }
  STDMETHOD(LoadAtSize)(BSTR p, const SIZE* s, long b) override { return m_inner->LoadAtSize(p, s, b); }
  STDMETHOD(Save)(BSTR p, long t, long b, long o) override { return m_inner->Save(p, t, b, o); }
  STDMETHOD(Draw)(HDC dc, const RECT* t, const POINT* o, DWORD r) override {
    return m_inner->Draw(dc, t, o, r);
  }
  STDMETHOD(DrawRect)(HDC dc, const RECT* t, const RECT* s, DWORD r) override {
    return m_inner->DrawRect(dc, t, s, r);
  }
  STDMETHOD(DrawManaged)
  (HDC dc, const RECT* t, const POINT* o, DWORD r, zvkImage::IRenderIcmCallback* c) override {
    return m_inner->DrawManaged(dc, t, o, r, c);
  }
  STDMETHOD(ResampleFast)(long w, long h, long b) override { return m_inner->ResampleFast(w, h, b); }
  STDMETHOD(Resample)(long w, long h, long b) override { return m_inner->Resample(w, h, b); }
  STDMETHOD(CopyRect)(zvkImage::IBitmap* s, long l, long t, long r, long b) override {
    return m_inner->CopyRect(s, l, t, r, b);
  }
  STDMETHOD(Rotate)(float turns) override { return m_inner->Rotate(turns); }
  STDMETHOD(GetDC)(HDC* dc) override { return m_inner->GetDC(dc); }
  STDMETHOD(ReleaseDC)(HDC dc) override { return m_inner->ReleaseDC(dc); }
  STDMETHOD(RemoveMask)() override { return m_inner->RemoveMask(); }
  STDMETHOD(HueKey)(const float* p) override { return m_inner->HueKey(p); }
  STDMETHOD(SetMask)(zvkImage::IBitmap* m) override { return m_inner->SetMask(m); }
  STDMETHOD(RunProcess)(zvkImage::IBitmapProcess* p, long m) override { return m_inner->RunProcess(p, m); }
  STDMETHOD(SetProgress)(long s, LONG_PTR v) override { return m_inner->SetProgress(s, v); }
  STDMETHOD(SetOptions)(long a, long b) override { return m_inner->SetOptions(a, b); }
  STDMETHOD(SaveToStream)(IStream* s, long f) override { return m_inner->SaveToStream(s, f); }
  STDMETHOD(LoadFromStream)(IStream* s, long f) override { return m_inner->LoadFromStream(s, f); }

 private:
  zvkImage::IBitmap* m_inner;
  ULONG m_refs = 1;
};

COLORREF Asymmetric(int x, int y) { return RGB(40 * x + 7, 50 * y + 3, (13 * x + 31 * y) % 256); }

// Where each step puts a pixel, straight from the definitions: top-to-bottom, left-to-right, then the
// quarter turns counter-clockwise (the top-right corner becomes the top-left one).
Pixels Expected(int w, int h, bool vertical, bool horizontal, int quarters) {
  Pixels p;
  p.width = w, p.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.values.push_back(Asymmetric(horizontal ? w - 1 - x : x, vertical ? h - 1 - y : y));
  for (int q = 0; q < quarters; ++q) {
    Pixels t;
    t.width = p.height, t.height = p.width;
    for (int y = 0; y < t.height; ++y)
      for (int x = 0; x < t.width; ++x) t.values.push_back(p.At(p.width - 1 - y, x));
    p = t;
  }
  return p;
}

TEST(AdjustBitmap, MirrorsAndTurnsGiveTheSamePixelsWithAndWithoutTheTransform) {
  const int w = 5, h = 3;
  LUTRecord noCurve;
  SharpenValues noSharpening;
  noSharpening.on = 0;
  for (int v = 0; v < 2; ++v)
    for (int hz = 0; hz < 2; ++hz)
      for (int r = 0; r < 4; ++r) {
        SCOPED_TRACE(testing::Message() << "vertical " << v << " horizontal " << hz << " turns " << r);
        const Pixels expected = Expected(w, h, v, hz, r);
        auto direct = MakeBitmap(w, h, Asymmetric);
        ASSERT_TRUE(AdjustBitmap(IBitmapPtr(direct.p), r, v, hz, noCurve, noSharpening));
        const Pixels a = Read(direct.p);
        EXPECT_EQ(expected.width, a.width);
        EXPECT_EQ(expected.values, a.values);

        auto inner = MakeBitmap(w, h, Asymmetric);
        auto* hidden = new BitmapWithoutTransform(inner.p);
        ASSERT_TRUE(AdjustBitmap(IBitmapPtr(hidden, false), r, v, hz, noCurve, noSharpening));
        const Pixels b = Read(inner.p);
        EXPECT_EQ(expected.width, b.width);
        EXPECT_EQ(expected.values, b.values);
      }
}

TEST(AdjustBitmap, OneQuarterTurnsCounterClockwise) {
  auto bitmap = MakeBitmap(4, 2, Asymmetric);
  ASSERT_TRUE(AdjustBitmap(IBitmapPtr(bitmap.p), 1, false, false, LUTRecord(), SharpenValues()));
  const Pixels p = Read(bitmap.p);
  ASSERT_EQ(2, p.width);
  EXPECT_EQ(Asymmetric(3, 0), p.At(0, 0));  // the top-right corner comes to the top left
  EXPECT_EQ(Asymmetric(0, 0), p.At(0, 3));
}

TEST(AdjustBitmap, NoBitmapOrAFailedMirrorStops) {
  EXPECT_FALSE(AdjustBitmap(IBitmapPtr(), 1, true, true, LUTRecord(), SharpenValues()));
  EXPECT_FALSE(FlipBitmapHorizontal(nullptr));
  // An empty bitmap refuses the process: the fallback mirror fails and the turn is not tried.
  auto empty = NewBitmap();
  auto* hidden = new BitmapWithoutTransform(empty.p);
  SharpenValues sharpen;
  sharpen.on = 1;
  EXPECT_FALSE(AdjustBitmap(IBitmapPtr(hidden, false), 1, false, true, LUTRecord(), sharpen));
}

// A job's block is read without the kernel check; the library refuses other kernels, so they sharpen as 3.
TEST(AdjustBitmap, AnUnknownKernelSharpensAsThree) {
  auto asFour = MakeBitmap(8, 8, Blocks);
  auto asThree = MakeBitmap(8, 8, Blocks);
  SharpenValues four;
  four.on = 1, four.kernel = 4, four.strength = 100;
  SharpenValues three = four;
  three.kernel = 3;
  ASSERT_TRUE(AdjustBitmap(IBitmapPtr(asFour.p), 0, false, false, LUTRecord(), four));
  ASSERT_TRUE(AdjustBitmap(IBitmapPtr(asThree.p), 0, false, false, LUTRecord(), three));
  EXPECT_EQ(Read(asThree.p).values, Read(asFour.p).values);
  EXPECT_NE(Read(MakeBitmap(8, 8, Blocks).p).values, Read(asFour.p).values);
}

}  // namespace
