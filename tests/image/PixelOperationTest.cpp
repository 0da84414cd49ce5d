#include <cmath>

#include "ImageTestSupport.h"

using namespace imagetest;
using namespace zvkImage;

namespace {

COLORREF Unique(int x, int y) { return RGB(x * 13 % 256, y * 29 % 256, (x * 7 + y * 3) % 256); }

VARIANT TableVariant(VARTYPE type, int entries, int planes,
                     const std::function<long(int entry, int plane)>& value) {
  SAFEARRAYBOUND bounds[2] = {{ULONG(entries), 0}, {ULONG(planes), 0}};
  SAFEARRAY* array = SafeArrayCreate(type, planes > 0 ? 2 : 1, bounds);
  const int count = std::max(planes, 1);
  for (int p = 0; p < count; ++p)
    for (int e = 0; e < entries; ++e) {
      LONG index[2] = {e, p};
      long v = value(e, p);
      if (type == VT_UI1) {
        BYTE b = BYTE(v);
        SafeArrayPutElement(array, index, &b);
      } else if (type == VT_UI2) {
        USHORT s = USHORT(v);
        SafeArrayPutElement(array, index, &s);
      } else {
        LONG l = v;
        SafeArrayPutElement(array, index, &l);
      }
    }
  VARIANT var;
  VariantInit(&var);
  var.vt = VT_ARRAY | type;
  var.parray = array;
  return var;
}

}  // namespace

TEST(ImagePixelOperations, QuarterTurnsAreExact) {
  struct Case {
    float turns;
    int quarters;
    int w, h;  // the larger spans several tiles of the turn, with partial ones at the edges
  };
  for (const Case& c :
       {Case{0.25f, 1, 7, 4}, Case{0.5f, 2, 7, 4}, Case{0.75f, 3, 7, 4}, Case{-0.25f, 3, 7, 4},
        Case{1.25f, 1, 7, 4}, Case{0.25f, 1, 150, 70}, Case{0.5f, 2, 150, 70}, Case{0.75f, 3, 150, 70}}) {
    const int w = c.w, h = c.h;
    auto bitmap = MakeBitmap(w, h, Unique);
    ASSERT_EQ(S_OK, bitmap->Rotate(c.turns)) << c.turns;
    const Pixels p = Read(bitmap.p);
    ASSERT_EQ(c.quarters == 2 ? w : h, p.width) << c.turns;
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) {
        int sx, sy;  // counter-clockwise quarter turns: the right edge comes to the top
        if (c.quarters == 1)
          sx = w - 1 - y, sy = x;
        else if (c.quarters == 2)
          sx = w - 1 - x, sy = h - 1 - y;
        else
          sx = y, sy = h - 1 - x;
        ASSERT_EQ(Unique(sx, sy), p.At(x, y)) << c.turns << " at " << x << "," << y;
      }
  }
}

TEST(ImagePixelOperations, FourQuarterTurnsAndTwoMirrorsGiveTheOriginal) {
  auto bitmap = MakeBitmap(9, 5, Unique);
  const Pixels before = Read(bitmap.p);
  for (int i = 0; i < 4; ++i) bitmap->Rotate(0.25f);
  EXPECT_EQ(before.values, Read(bitmap.p).values);
  auto t = Query<ITransform>(bitmap.p);
  ASSERT_EQ(S_OK, t->MirrorHorizontal());
  const Pixels mirrored = Read(bitmap.p);
  EXPECT_EQ(Unique(8, 2), mirrored.At(0, 2));
  ASSERT_EQ(S_OK, t->MirrorVertical());
  EXPECT_EQ(Unique(8, 4), Read(bitmap.p).At(0, 0));
  t->MirrorHorizontal();
  t->MirrorVertical();
  EXPECT_EQ(before.values, Read(bitmap.p).values);
}

TEST(ImagePixelOperations, FineRotationGrowsTheCanvasAndKeepsTheMiddle) {
  auto bitmap = MakeFlat(100, 60, RGB(20, 90, 160));
  ASSERT_EQ(S_OK, bitmap->Rotate(2.5f / 360.0f));
  const Pixels p = Read(bitmap.p);
  const double a = 2.5 * 3.14159265358979 / 180.0;
  EXPECT_NEAR(100 * std::cos(a) + 60 * std::sin(a), p.width, 1.0);
  EXPECT_NEAR(100 * std::sin(a) + 60 * std::cos(a), p.height, 1.0);
  EXPECT_EQ(RGB(20, 90, 160), p.At(p.width / 2, p.height / 2));
  EXPECT_EQ(RGB(255, 255, 255), p.At(0, 0));  // a corner outside the turned picture
}

TEST(ImagePixelOperations, TablesFollowTheirShapes) {
  // [256][4]: master then red, green, blue; each channel through its own table and then the master.
  auto bitmap = MakeFlat(3, 2, RGB(100, 50, 200));
  VARIANT four = TableVariant(VT_UI1, 256, 4, [](int e, int p) {
    if (p == 0) return long(255 - e);  // master inverts
    if (p == 1) return long(e / 2);    // red halves
    return long(e);
  });
  ASSERT_EQ(S_OK, Query<ITables>(bitmap.p)->Apply(four));
  VariantClear(&four);
  EXPECT_EQ(RGB(255 - 50, 255 - 50, 255 - 200), Read(bitmap.p).At(1, 1));

  // [256][3]: red, green, blue.
  bitmap = MakeFlat(2, 2, RGB(100, 50, 200));
  VARIANT three = TableVariant(VT_UI1, 256, 3, [](int e, int p) { return p == 2 ? long(0) : long(e); });
  ASSERT_EQ(S_OK, Query<ITables>(bitmap.p)->Apply(three));
  VariantClear(&three);
  EXPECT_EQ(RGB(100, 50, 0), Read(bitmap.p).At(0, 0));

  // One-dimensional 4096-entry 12-bit table of the greyscale LUT object: one curve for every channel.
  bitmap = MakeFlat(2, 2, RGB(255, 0, 128));
  VARIANT wide = TableVariant(VT_UI2, 4096, 0, [](int e, int) { return long(4095 - e); });
  ASSERT_EQ(S_OK, Query<ITables>(bitmap.p)->Apply(wide));
  VariantClear(&wide);
  EXPECT_LE(MaxDifference(RGB(0, 255, 127), Read(bitmap.p).At(0, 0)), 1);

  // Empty applies nothing; other shapes are refused and change nothing.
  VARIANT empty;
  VariantInit(&empty);
  EXPECT_EQ(S_OK, Query<ITables>(bitmap.p)->Apply(empty));
  VARIANT bad = TableVariant(VT_UI1, 256, 2, [](int e, int) { return long(e); });
  const Pixels before = Read(bitmap.p);
  EXPECT_EQ(E_INVALIDARG, Query<ITables>(bitmap.p)->Apply(bad));
  VariantClear(&bad);
  VARIANT number;
  number.vt = VT_I4;
  number.lVal = 3;
  EXPECT_TRUE(FAILED(Query<ITables>(bitmap.p)->Apply(number)));
  EXPECT_EQ(before.values, Read(bitmap.p).values);
}

TEST(ImagePixelOperations, SaturationScalesTheDistanceFromGrey) {
  auto bitmap = MakeFlat(2, 2, RGB(200, 100, 50));
  auto adjust = Query<IAdjust>(bitmap.p);
  ASSERT_EQ(S_OK, adjust->Saturation(-1.0f));  // 0.02 x -50: grey
  const COLORREF grey = Read(bitmap.p).At(0, 0);
  EXPECT_EQ(GetRValue(grey), GetGValue(grey));
  EXPECT_EQ(GetGValue(grey), GetBValue(grey));
  EXPECT_NEAR(0.299 * 200 + 0.587 * 100 + 0.114 * 50, GetRValue(grey), 1.0);

  bitmap = MakeFlat(2, 2, RGB(150, 100, 90));
  ASSERT_EQ(S_OK, Query<IAdjust>(bitmap.p)->Saturation(0.5f));
  const double y = 0.299 * 150 + 0.587 * 100 + 0.114 * 90;
  const COLORREF more = Read(bitmap.p).At(1, 1);
  EXPECT_NEAR(y + (150 - y) * 1.5, GetRValue(more), 1.5);
  EXPECT_NEAR(y + (90 - y) * 1.5, GetBValue(more), 1.5);
  EXPECT_EQ(E_INVALIDARG, Query<IAdjust>(bitmap.p)->Saturation(NAN));
  // Factors below -1 (sliders beyond -50) give grey, not a failure.
  auto beyondGrey = MakeFlat(1, 1, RGB(200, 100, 50));
  ASSERT_EQ(S_OK, Query<IAdjust>(beyondGrey.p)->Saturation(-2.0f));
  EXPECT_EQ(grey, Read(beyondGrey.p).At(0, 0));
}

TEST(ImagePixelOperations, ExtractCutsTheRectangleAtTheSourceScale) {
  // Left half red, right half blue, a green column at x 0.
  auto bitmap = MakeBitmap(40, 20, [](int x, int) {
    return x == 0 ? RGB(0, 255, 0) : x < 20 ? RGB(255, 0, 0) : RGB(0, 0, 255);
  });
  Ref<IBitmap> result;
  // Inside the picture: exactly its pixels, at their size.
  ASSERT_EQ(S_OK, Query<ITransform>(bitmap.p)->Extract(15, 5, 25, 15, RGB(255, 255, 255), result.Out()));
  Pixels p = Read(result.p);
  ASSERT_EQ(10, p.width);
  ASSERT_EQ(10, p.height);
  EXPECT_EQ(RGB(255, 0, 0), p.At(4, 3));
  EXPECT_EQ(RGB(0, 0, 255), p.At(5, 3));
  // Reaching left of the picture: the fill there, the picture moved right by as much.
  ASSERT_EQ(S_OK, Query<ITransform>(bitmap.p)->Extract(-4, 0, 36, 20, RGB(255, 255, 255), result.Out()));
  p = Read(result.p);
  ASSERT_EQ(40, p.width);
  EXPECT_EQ(RGB(255, 255, 255), p.At(3, 10));
  EXPECT_EQ(RGB(0, 255, 0), p.At(4, 10));
  EXPECT_EQ(RGB(0, 0, 255), p.At(39, 10));
  // Twice the picture each way holds four times its pixels: shrunk to its size, the picture half-size in
  // the middle on the fill.
  ASSERT_EQ(S_OK, Query<ITransform>(bitmap.p)->Extract(-20, -10, 60, 30, RGB(0, 0, 0), result.Out()));
  p = Read(result.p);
  ASSERT_EQ(40, p.width);
  ASSERT_EQ(20, p.height);
  EXPECT_EQ(RGB(0, 0, 0), p.At(5, 10));
  EXPECT_EQ(RGB(0, 0, 0), p.At(20, 2));
  EXPECT_EQ(RGB(255, 0, 0), p.At(15, 10));
  EXPECT_EQ(RGB(0, 0, 255), p.At(25, 10));
  EXPECT_EQ(E_INVALIDARG, Query<ITransform>(bitmap.p)->Extract(10, 10, 10, 20, 0, result.Out()));
}

TEST(ImagePixelOperations, SharpenLeavesFlatAreasAndRaisesEdges) {
  for (short kernel : {3, 5, 7}) {
    auto flat = MakeFlat(20, 20, RGB(90, 140, 30));
    ASSERT_EQ(S_OK, Query<ITransform>(flat.p)->Sharpen(kernel, 100));
    for (COLORREF c : Read(flat.p).values) ASSERT_EQ(RGB(90, 140, 30), c);
    auto edge =
        MakeBitmap(20, 20, [](int x, int) { return x < 10 ? RGB(100, 100, 100) : RGB(150, 150, 150); });
    ASSERT_EQ(S_OK, Query<ITransform>(edge.p)->Sharpen(kernel, 100));
    const Pixels p = Read(edge.p);
    EXPECT_LT(GetRValue(p.At(9, 10)), 100) << kernel;
    EXPECT_GT(GetRValue(p.At(10, 10)), 150) << kernel;
    EXPECT_EQ(RGB(100, 100, 100), p.At(0, 10)) << kernel;
  }
  auto any = MakeFlat(4, 4, 0);
  EXPECT_EQ(E_INVALIDARG, Query<ITransform>(any.p)->Sharpen(4, 100));
}

namespace {

// Every pixel of rows [top, top + rows) of a bitmap w pixels wide (at most 65536 of them).
std::vector<COLORREF> ReadRows(IBitmap* bitmap, int w, int top, int rows) {
  RECT r{0, top, w, top + rows};
  VARIANT v;
  EXPECT_EQ(S_OK, Query<IBitmapEx>(bitmap)->Sample(&r, &v));
  LONG* data = nullptr;
  SafeArrayAccessData(v.parray, reinterpret_cast<void**>(&data));
  std::vector<COLORREF> out(data, data + size_t(w) * rows);
  SafeArrayUnaccessData(v.parray);
  VariantClear(&v);
  return out;
}

}  // namespace

// A picture large enough to be sharpened in place in many parts: every pixel, also those next to the rows
// where the parts meet, is what the unsharp mask of the untouched picture gives.
TEST(ImagePixelOperations, SharpenInPartsEqualsTheMaskOfTheWholePicture) {
  const int w = 1100, h = 960, band = 59;
  for (const int kernel : {3, 7}) {
    for (const int strength : {100, 20000}) {
      auto bitmap = MakeBitmap(w, h, Unique);
      ASSERT_EQ(S_OK, Query<ITransform>(bitmap.p)->Sharpen(short(kernel), short(strength)));
      const int r = kernel / 2, area = kernel * kernel;
      const int64_t amount = std::lround(strength * 2.56);
      for (int top = 0; top < h; top += band) {
        const int rows = std::min(band, h - top);
        const std::vector<COLORREF> got = ReadRows(bitmap.p, w, top, rows);
        for (int y = top; y < top + rows; ++y)
          for (int x = 0; x < w; ++x) {
            int expected[3];
            for (int c = 0; c < 3; ++c) {
              const auto channel = [&](int px, int py) {
                const COLORREF v = Unique(std::clamp(px, 0, w - 1), std::clamp(py, 0, h - 1));
                return c == 0 ? GetRValue(v) : c == 1 ? GetGValue(v) : GetBValue(v);
              };
              int sum = 0;
              for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) sum += channel(x + dx, y + dy);
              const int p = channel(x, y), mean256 = (sum * 256 + area / 2) / area;
              expected[c] = std::clamp(p + int(amount * (p * 256 - mean256) / 65536), 0, 255);
            }
            ASSERT_EQ(RGB(expected[0], expected[1], expected[2]), got[size_t(y - top) * w + x])
                << "kernel " << kernel << ", strength " << strength << " at " << x << ", " << y;
          }
      }
    }
  }
}

TEST(ImagePixelOperations, ResamplePreservesFlatColourAndTheMeanOfAPattern) {
  struct Case {
    int w, h;
    bool fast;
  };
  for (const Case& c : {Case{37, 23, false}, Case{7, 5, false}, Case{120, 90, false}, Case{37, 23, true},
                        Case{9, 200, true}}) {
    auto flat = MakeFlat(80, 60, RGB(33, 66, 99));
    ASSERT_EQ(S_OK, c.fast ? flat->ResampleFast(c.w, c.h, 24) : flat->Resample(c.w, c.h, 24));
    const Pixels p = Read(flat.p);
    ASSERT_EQ(c.w, p.width);
    ASSERT_EQ(c.h, p.height);
    for (COLORREF v : p.values) ASSERT_EQ(RGB(33, 66, 99), v) << c.w << "x" << c.h;
    // A fine checkerboard of 0 and 200 averages to 100 when shrunk.
    auto board =
        MakeBitmap(80, 60, [](int x, int y) { return ((x + y) & 1) ? RGB(200, 200, 200) : RGB(0, 0, 0); });
    ASSERT_EQ(S_OK, c.fast ? board->ResampleFast(c.w, c.h, 24) : board->Resample(c.w, c.h, 24));
    double sum = 0;
    const Pixels b = Read(board.p);
    for (COLORREF v : b.values) sum += GetGValue(v);
    EXPECT_NEAR(100.0, sum / b.values.size(), 3.0) << c.w << "x" << c.h;
  }
  auto bitmap = MakeFlat(4, 4, 0);
  EXPECT_EQ(E_INVALIDARG, bitmap->Resample(0, 4, 24));
}

TEST(ImagePixelOperations, HueKeyMakesTheKeyedHueTransparent) {
  // Green screen (hue 120) with range 10 and third angle 3 degrees, threshold 0.05, smoothing 0.2.
  auto bitmap = MakeBitmap(4, 1, [](int x, int) {
    static const COLORREF c[] = {RGB(20, 200, 30), RGB(200, 30, 20), RGB(128, 128, 128), RGB(30, 30, 200)};
    return c[x];
  });
  const float key[5] = {120.0f / 360, 10.0f / 360, 3.0f / 360, 0.05f, 0.2f};
  ASSERT_EQ(S_OK, bitmap->HueKey(key));
  const std::vector<int> alpha = ReadAlpha(bitmap.p);
  EXPECT_EQ(0, alpha[0]);
  EXPECT_EQ(255, alpha[1]);
  EXPECT_EQ(255, alpha[2]);
  EXPECT_EQ(255, alpha[3]);
  // The colours stay; the unknown key colour (-1 degree) keys nothing.
  EXPECT_EQ(RGB(20, 200, 30), Read(bitmap.p).At(0, 0));
  auto other = MakeFlat(2, 2, RGB(20, 200, 30));
  const float none[5] = {-1.0f * 0.0027777778f, 10.0f / 360, 3.0f / 360, 0.05f, 0.2f};
  ASSERT_EQ(S_OK, other->HueKey(none));
  for (int a : ReadAlpha(other.p)) EXPECT_EQ(255, a);
  // Any other negative hue wraps round: an offset of -130 on a green screen keys hue 350 (a crimson), not
  // green.
  auto wrapped = MakeBitmap(2, 1, [](int x, int) { return x == 0 ? RGB(220, 20, 53) : RGB(20, 200, 30); });
  const float below[5] = {-10.0f * 0.0027777778f, 10.0f / 360, 3.0f / 360, 0.05f, 0.2f};
  ASSERT_EQ(S_OK, wrapped->HueKey(below));
  EXPECT_EQ((std::vector<int>{0, 255}), ReadAlpha(wrapped.p));
}

TEST(ImagePixelOperations, AlphaTravelsWithCopiesTurnsAndResampling) {
  auto bitmap = MakeBitmap(8, 4, [](int x, int) { return x < 4 ? RGB(0, 255, 0) : RGB(255, 0, 0); });
  const float key[5] = {120.0f / 360, 10.0f / 360, 3.0f / 360, 0.05f, 0.2f};
  bitmap->HueKey(key);
  auto copy = NewBitmap();
  copy->CopyFrom(bitmap.p);
  EXPECT_EQ(ReadAlpha(bitmap.p), ReadAlpha(copy.p));
  copy->Rotate(0.5f);
  const std::vector<int> turned = ReadAlpha(copy.p);
  EXPECT_EQ(255, turned[0]);
  EXPECT_EQ(0, turned[7]);
  // Tables and saturation change colour only.
  Query<IAdjust>(copy.p)->Saturation(-1.0f);
  EXPECT_EQ(turned, ReadAlpha(copy.p));
}

TEST(ImagePixelOperations, CopyRectClipsToTheSource) {
  auto source = MakeBitmap(10, 8, Unique);
  auto part = NewBitmap();
  ASSERT_EQ(S_OK, part->CopyRect(source.p, 6, 5, 20, 20));
  const Pixels p = Read(part.p);
  ASSERT_EQ(4, p.width);
  ASSERT_EQ(3, p.height);
  EXPECT_EQ(Unique(6, 5), p.At(0, 0));
  EXPECT_EQ(Unique(9, 7), p.At(3, 2));
  EXPECT_EQ(E_INVALIDARG, part->CopyRect(source.p, 10, 0, 12, 8));
}

TEST(ImagePixelOperations, ResampleRectCutsAndResamplesInOnePass) {
  auto source = MakeBitmap(120, 80, [](int x, int y) { return RGB(x * 2, y * 3, 100); });
  Query<IResolution>(source.p)->SetResolution(240, 240);
  auto resample = Query<IResampleRect>(NewBitmap().p);
  ASSERT_TRUE(resample);
  auto sized = Query<IBitmap>(resample.p);
  // The middle 60 x 40 to 30 x 20, as a copy of it resampled would give inside the rectangle.
  ASSERT_EQ(S_OK, resample->ResampleRect(source.p, 30, 20, 90, 60, 30, 20));
  auto copy = NewBitmap();
  ASSERT_EQ(S_OK, copy->CopyRect(source.p, 30, 20, 90, 60));
  ASSERT_EQ(S_OK, copy->Resample(30, 20, 24));
  const Pixels got = Read(sized.p), want = Read(copy.p);
  ASSERT_EQ(30, got.width);
  ASSERT_EQ(20, got.height);
  for (int y = 2; y < 18; ++y)
    for (int x = 2; x < 28; ++x) EXPECT_LE(MaxDifference(want.At(x, y), got.At(x, y)), 1) << x << "," << y;
  long dpiX = 0, dpiY = 0;
  Query<IResolution>(sized.p)->GetResolution(&dpiX, &dpiY);
  EXPECT_EQ(240, dpiX);
  // Clipped to the source; a rectangle beyond it, a size of nothing and no source are refused.
  ASSERT_EQ(S_OK, resample->ResampleRect(source.p, 60, -10, 200, 80, 6, 8));
  EXPECT_LE(MaxDifference(RGB(229, 224, 100), Read(sized.p).At(5, 7)), 2);
  EXPECT_EQ(E_INVALIDARG, resample->ResampleRect(source.p, 120, 0, 130, 80, 5, 5));
  EXPECT_EQ(E_INVALIDARG, resample->ResampleRect(source.p, 0, 0, 10, 10, 0, 5));
  EXPECT_EQ(E_POINTER, resample->ResampleRect(nullptr, 0, 0, 10, 10, 5, 5));
  // A bitmap resamples a rectangle of itself.
  ASSERT_EQ(S_OK, Query<IResampleRect>(source.p)->ResampleRect(source.p, 0, 0, 60, 80, 30, 40));
  EXPECT_EQ(30, Read(source.p).width);
}

TEST(ImagePixelOperations, FlattenLaysAlphaAndMaskOverTheFillAfterTheConversion) {
  // Red whose left half is keyed away (alpha 0), and a mask that hides the top half instead.
  auto source = MakeFlat(40, 20, RGB(200, 0, 0));
  const float key[5] = {0.0f, 10.0f / 360, 3.0f / 360, 0.05f, 0.2f};
  auto keyedHalf = MakeBitmap(40, 20, [](int x, int) { return x < 20 ? RGB(255, 0, 0) : RGB(0, 0, 255); });
  ASSERT_EQ(S_OK, keyedHalf->HueKey(key));
  auto topHidden = MakeBitmap(40, 20, [](int, int y) { return y < 10 ? RGB(0, 0, 0) : RGB(255, 255, 255); });
  const COLORREF fill = RGB(0, 128, 0);
  auto flat = NewBitmap();
  auto flatten = Query<IFlatten>(flat.p);
  ASSERT_TRUE(flatten);
  // Keyed red over the fill, converted (inverted) before it meets the fill; the source stays as it was.
  InvertingCallback invert;
  ASSERT_EQ(S_OK, flatten->FlattenFrom(keyedHalf.p, nullptr, fill, &invert));
  EXPECT_EQ(40 * 20, invert.pixels);
  EXPECT_EQ(0, invert.setups) << "no device context to prepare";
  Pixels p = Read(flat.p);
  EXPECT_EQ(fill, p.At(5, 10));
  EXPECT_EQ(RGB(255, 255, 0), p.At(35, 10));
  EXPECT_EQ(0, ReadAlpha(keyedHalf.p)[5]);
  for (int alpha : ReadAlpha(flat.p)) ASSERT_EQ(255, alpha);
  // A mask given hides its part; without a callback the colours stay.
  ASSERT_EQ(S_OK, flatten->FlattenFrom(source.p, topHidden.p, fill, nullptr));
  p = Read(flat.p);
  EXPECT_EQ(fill, p.At(30, 5));
  EXPECT_EQ(RGB(200, 0, 0), p.At(30, 15));
  // In place: the bitmap's own mask is laid over the fill and dropped.
  ASSERT_EQ(S_OK, source->SetMask(topHidden.p));
  ASSERT_EQ(S_OK, Query<IFlatten>(source.p)->FlattenFrom(source.p, nullptr, fill, nullptr));
  auto canvas = MakeFlat(40, 20, RGB(0, 0, 255));
  HDC dc = nullptr;
  ASSERT_EQ(S_OK, canvas->GetDC(&dc));
  const RECT all{0, 0, 40, 20};
  ASSERT_EQ(S_OK, source->DrawRect(dc, &all, &all, SRCCOPY));
  canvas->ReleaseDC(dc);
  EXPECT_EQ(fill, Read(canvas.p).At(30, 5)) << "no mask left to let the canvas through";
  // A failed conversion is the flatten's failure; bitmaps of other libraries are refused.
  InvertingCallback failing;
  failing.convert = E_OUTOFMEMORY;
  EXPECT_EQ(E_OUTOFMEMORY, flatten->FlattenFrom(keyedHalf.p, nullptr, fill, &failing));
  EXPECT_EQ(E_POINTER, flatten->FlattenFrom(nullptr, nullptr, fill, nullptr));
}

TEST(ImagePixelOperations, SamplesAreBoundedAndSubsampled) {
  auto bitmap = MakeBitmap(300, 300, Unique);
  auto ex = Query<IBitmapEx>(bitmap.p);
  VARIANT v;
  RECT one{5, 6, 6, 7};
  ASSERT_EQ(S_OK, ex->Sample(&one, &v));
  EXPECT_EQ(VT_I4, v.vt);
  EXPECT_EQ(LONG(Unique(5, 6)), v.lVal);
  RECT past{-1, -1, 301, 301};  // one pixel past each edge is clamped
  ASSERT_EQ(S_OK, ex->Sample(&past, &v));
  ASSERT_EQ(VT_ARRAY | VT_I4, v.vt);
  LONG ux = 0, uy = 0;
  SafeArrayGetUBound(v.parray, 1, &ux);
  SafeArrayGetUBound(v.parray, 2, &uy);
  EXPECT_LE(int64_t(ux + 1) * (uy + 1), 65536);
  EXPECT_GT(int64_t(ux + 1) * (uy + 1), 10000);
  VariantClear(&v);
  RECT beyond{-5, 0, 10, 10};
  EXPECT_EQ(E_INVALIDARG, ex->Sample(&beyond, &v));
}

namespace {

// A row process that mirrors rows, the way the program's own process does.
class MirrorProcess : public IBitmapProcess, public IBitmapProcessRaster {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == __uuidof(IBitmapProcess))
      *out = static_cast<IBitmapProcess*>(this);
    else if (iid == __uuidof(IBitmapProcessRaster))
      *out = static_cast<IBitmapProcessRaster*>(this);
    else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override {
    *name = SysAllocString(L"");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetParameter(long, VARIANT* v) override {
    VariantInit(v);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Begin(long, long) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE End(HRESULT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetFlags(long* f) override {
    *f = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetFormat(long* r, long* g, long* b) override {
    *r = 2, *g = 1, *b = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetContextRows(long* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ProcessRow(long, BYTE* row) override {
    const int count = row[0] | row[1] << 8, n = count / 3;
    BYTE* p = row + 2;
    for (int i = 0; i < count / 6; ++i)
      for (int k = 0; k < 3; ++k) std::swap(p[3 * i + k], p[3 * (n - 1 - i) + k]);
    ++rows;
    return S_OK;
  }
  ULONG refs = 1;
  int rows = 0;
};

}  // namespace

TEST(ImagePixelOperations, RowProcessSeesEveryRowInItsFormat) {
  auto bitmap = MakeBitmap(7, 3, Unique);
  auto expected = MakeBitmap(7, 3, Unique);
  Query<ITransform>(expected.p)->MirrorHorizontal();
  MirrorProcess process;
  ASSERT_EQ(S_OK, bitmap->RunProcess(&process, 1));
  EXPECT_EQ(3, process.rows);
  EXPECT_EQ(Read(expected.p).values, Read(bitmap.p).values);
  EXPECT_EQ(1u, process.refs);
}
