// Output rendering: the frame arithmetic, the crop as the cell shows it, and the picture drawn into a bitmap.
#include "Render.h"

#include "ImageTestSupport.h"
#include "classlib/Prompt.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace imagetest;
using zvkImage::Frame;
using zvkImage::Mapping;
using zvkImage::PictureSize;

namespace {

Frame MakeFrame(int units, double cx, double cy, double w, double h, double angle = 0.0) {
  Frame f;
  f.units = units;
  f.centreX = cx;
  f.centreY = cy;
  f.width = w;
  f.height = h;
  f.angle = angle;
  return f;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const RECT& r) {
  return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
         std::to_string(r.bottom) + "}";
}

// 100 x 80, grey, with 20 x 16 markers in the corners: red top left, green top right, blue bottom left,
// black bottom right.
COLORREF Markers(int x, int y) {
  const bool left = x < 20, right = x >= 80, top = y < 16, bottom = y >= 64;
  if (left && top) return RGB(255, 0, 0);
  if (right && top) return RGB(0, 255, 0);
  if (left && bottom) return RGB(0, 0, 255);
  if (right && bottom) return RGB(0, 0, 0);
  return RGB(128, 128, 128);
}

CropScale Crop(double x, double y, double zoom, bool fixed = false, int rw = 1, int rh = 1) {
  CropScale c;
  c.posA = x;
  c.posB = y;
  c.scale = zoom;
  c.fixedRatio = fixed;
  c.ratioWidth = rw;
  c.ratioHeight = rh;
  return c;
}

}  // namespace

TEST(ExportRenderFrame, ToRectKeepsTheRoundedSize) {
  struct Case {
    double cx, cy, w, h;
    RECT want;
  } cases[] = {
      {10.5, 10.5, 3, 3, {9, 9, 12, 12}},       {0.25, 0.25, 1.5, 1.5, {-1, -1, 1, 1}},
      {1.3, 1.5, 2.4, 3, {0, 0, 2, 3}},          // one too wide: the right side, moved further, gives it back
      {1.7, 1.5, 2.4, 3, {1, 0, 3, 3}},          // L 0.5 -> 1, R 2.9 -> 3, W 2: exact
      {1.5, 1.3, 3, 2.4, {0, 0, 3, 2}},          // one too tall: the bottom gives it back
      {2.1, 2.1, 2.6, 2.6, {1, 1, 4, 4}},        // L 0.8 -> 1, R 3.4 -> 3, W 3: one short, the right gains it
      {-2.1, -2.1, 2.6, 2.6, {-4, -4, -1, -1}},  // mirrored: the left gains it
  };
  for (const Case& c : cases) {
    const RECT got = MakeFrame(0, c.cx, c.cy, c.w, c.h).ToRect();
    EXPECT_TRUE(SameRect(c.want, got))
        << c.cx << "," << c.cy << " " << c.w << "x" << c.h << ": " << Show(got);
  }
}

TEST(ExportRenderFrame, MapIntoFitsTheChildOnTheParentsCentre) {
  struct Case {
    int parentUnits;
    double pw, ph;
    int childUnits;
    double cw, ch;
    double wantW, wantH;
  } cases[] = {
      {0, 300, 300, 3, 2, 1, 300, 150},      // inches into plain units: never converted
      {4, 254, 254, 3, 2, 1, 254, 127},      // 2 x 1 inches into 254 mm
      {3, 10, 10, 4, 50.8, 25.4, 10, 5},     // millimetres into inches
      {5, 2880, 1440, 3, 1, 1, 1440, 1440},  // an inch square into twips: height bounds it
      {3, 4, 4, 2, 0.5, 0.25, 4, 2},         // fractions of the parent: (2 x 1) inches
      {0, 100, 100, 0, 50, 100, 50, 100},    // the smaller scale bounds it
  };
  for (const Case& c : cases) {
    const Frame parent = MakeFrame(c.parentUnits, 7, 9, c.pw, c.ph, 0.25);
    PictureSize child;
    child.units = c.childUnits;
    child.width = c.cw;
    child.height = c.ch;
    const Frame got = Frame::MapInto(parent, child);
    EXPECT_EQ(c.parentUnits, got.units);
    EXPECT_EQ(7, got.centreX);
    EXPECT_EQ(9, got.centreY);
    EXPECT_EQ(0.25, got.angle);
    EXPECT_NEAR(c.wantW, got.width, 1e-9) << c.parentUnits << "<-" << c.childUnits;
    EXPECT_NEAR(c.wantH, got.height, 1e-9) << c.parentUnits << "<-" << c.childUnits;
  }
  PictureSize child;
  child.width = child.height = 1;
  try {
    Frame::MapInto(MakeFrame(2, 0, 0, 1, 1), child);
    FAIL() << "a parent in fractions of its parent has nothing to map into";
  } catch (const zvkImage::IllegalParentFrameUnits& e) {
    EXPECT_STREQ("Illegal parent frame units", e.what());
  }
}

TEST(ExportRenderFrame, BoundingFrameOfTurnedFrames) {
  struct Case {
    double angle, wantW, wantH;
  } cases[] = {{0, 4, 2},
               {0.5, 4, 2},
               {0.25, 2, 4},
               {0.75, 2, 4},
               {0.125, 4.24264, 4.24264},
               {1.0 / 12, 4.46410, 3.73205}};
  for (const Case& c : cases) {
    const Frame got = MakeFrame(3, 5, 6, 4, 2, c.angle).BoundingFrame();
    EXPECT_EQ(3, got.units);
    EXPECT_EQ(5, got.centreX);
    EXPECT_EQ(6, got.centreY);
    EXPECT_EQ(0, got.angle);
    EXPECT_NEAR(c.wantW, got.width, 2e-5) << c.angle;
    EXPECT_NEAR(c.wantH, got.height, 2e-5) << c.angle;
  }
}

TEST(ExportRenderFrame, MappingStartsAsInitialisedAndSetPlacesTheFrame) {
  const RECT device{1, 2, 301, 402}, clip{5, 6, 7, 8};
  Mapping m(device, clip);
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&m);
  int32_t units;
  double value;
  std::memcpy(&units, bytes + 16, 4);
  EXPECT_EQ(1, units);
  std::memcpy(&value, bytes + 16 + 24, 8);
  EXPECT_EQ(1.0, value);  // frame width
  std::memcpy(&units, bytes + 96, 4);
  EXPECT_EQ(0, units);  // destination anchor
  std::memcpy(&value, bytes + 128 + 8, 8);
  EXPECT_EQ(1.0, value);  // x scale
  std::memcpy(&units, bytes + 184, 4);
  EXPECT_EQ(5, units);  // clip left
  m.Set(MakeFrame(0, 50, 40, 100, 80), RECT{10, 20, 210, 180});
  EXPECT_EQ(0.5, m.scale.x);
  EXPECT_EQ(0.5, m.scale.y);
  EXPECT_EQ(50, m.source.x);
  EXPECT_EQ(40, m.source.y);
  EXPECT_EQ(110, m.destination.x);
  EXPECT_EQ(100, m.destination.y);
  EXPECT_EQ(1, m.frame.units);
  EXPECT_TRUE(SameRect(device, m.device));
  try {
    m.Set(MakeFrame(0, 0, 0, 1, 1, 0.1), RECT{0, 0, 1, 1});
    FAIL() << "a turned frame has no mapping";
  } catch (const zvkImage::IllegalMappingParameter& e) {
    EXPECT_STREQ("Illegal mapping parameter", e.what());
  }
}

TEST(ExportCropZoom, VisibleRectangleAndWhereTheWholePictureLands) {
  struct Case {
    long w, h;
    double x, y, zoom;
    RECT r, d;
  } cases[] = {
      {1000, 800, 0.1, 0, 1.0, {100, 0, 1100, 800}, {-100, 0, 900, 800}},
      {1000, 800, 0, 0, 0.5, {250, 200, 750, 600}, {-500, -400, 1500, 1200}},
      {1000, 800, 0, 0, 1.25, {-125, -100, 1125, 900}, {100, 80, 900, 720}},
      {1000, 800, -0.05, 0.1, 1.0, {-50, 80, 950, 880}, {50, -80, 1050, 720}},
      // Products beyond 32 bits: 54000 x 60000.
      {60000, 100, 0.9, 0, 1.0, {54000, 0, 114000, 100}, {-54000, 0, 6000, 100}},
  };
  for (const Case& c : cases) {
    RECT r, d;
    zvkImage::CropGeometry g;
    g.x = c.x, g.y = c.y, g.zoom = c.zoom;
    ASSERT_TRUE(zvkImage::CropRectangles(c.w, c.h, g, r, d));
    EXPECT_TRUE(SameRect(c.r, r)) << Show(r);
    EXPECT_TRUE(SameRect(c.d, d)) << Show(d);
  }
  RECT r, d;
  zvkImage::CropGeometry nothing;
  nothing.zoom = 0.0;  // inflates the crop away
  EXPECT_FALSE(zvkImage::CropRectangles(1000, 800, nothing, r, d));
}

TEST(ExportCropZoom, CutsWhatTheCellShows) {
  auto source = MakeBitmap(100, 80, Markers);
  const COLORREF white = RGB(255, 255, 255), red = RGB(255, 0, 0), green = RGB(0, 255, 0);
  // Nothing to do: the very bitmap.
  IBitmapPtr same = CropZoomImage(source.p, Crop(0, 0, 1.0));
  EXPECT_EQ(source.p, same.GetInterfacePtr());
  struct Probe {
    int x, y;
    COLORREF want;
  };
  struct Case {
    const char* what;
    CropScale crop;
    int w, h;
    std::vector<Probe> probes;
  } cases[] = {
      {"x 0.1 moves it a tenth right, white on the left",
       Crop(0.1, 0, 1.0),
       100,
       80,
       {{5, 40, white},
        {9, 5, white},
        {10, 5, red},
        {29, 5, red},
        {30, 5, RGB(128, 128, 128)},
        {99, 5, green}}},
      {"zoom 0.5 shows it half-size centred on white",
       Crop(0, 0, 0.5),
       100,
       80,
       {{10, 10, white}, {24, 30, white}, {26, 21, red}, {73, 21, green}, {50, 65, white}}},
      {"zoom 1.25 cuts its centre",
       Crop(0, 0, 1.25),
       81,
       64,
       {{0, 0, red}, {9, 7, red}, {10, 8, RGB(128, 128, 128)}, {80, 0, green}, {80, 63, RGB(0, 0, 0)}}},
      {"a fixed 1:1 ratio cuts a centred square",
       Crop(0, 0, 1.0, true, 1, 1),
       80,
       80,
       {{0, 0, red}, {9, 0, red}, {10, 0, RGB(128, 128, 128)}, {79, 0, green}, {0, 79, RGB(0, 0, 255)}}},
      {"a 3:2 ratio on a landscape picture stands landscape",
       Crop(0, 0, 1.0, true, 2, 3),
       100,
       67,
       {{0, 0, red}, {99, 66, RGB(0, 0, 0)}}},
  };
  for (const Case& c : cases) {
    IBitmapPtr cut = CropZoomImage(source.p, c.crop);
    ASSERT_TRUE(cut) << c.what;
    const Pixels p = Read(cut);
    ASSERT_EQ(c.w, p.width) << c.what;
    ASSERT_EQ(c.h, p.height) << c.what;
    for (const Probe& probe : c.probes)
      EXPECT_EQ(probe.want, p.At(probe.x, probe.y)) << c.what << " at " << probe.x << "," << probe.y;
    // The picture object with the same crop and aspect gives the same pixels.
    IPictureFramePtr picture = CreateRenderPicture(source.p, nullptr, nullptr, c.crop);
    IBitmapPtr drawn = RenderImageToBitmap(picture, c.w, c.h);
    ASSERT_TRUE(drawn) << c.what;
    const Pixels q = Read(drawn);
    ASSERT_EQ(p.width, q.width) << c.what;
    ASSERT_EQ(p.height, q.height) << c.what;
    EXPECT_TRUE(p.values == q.values) << c.what;
  }
  EXPECT_FALSE(CropZoomImage(source.p, Crop(0, 0, 0.0))) << "an empty crop";
}

TEST(ExportRenderPicture, FitsTheFrameAndComposesOverTheBackground) {
  // A keyed subject (left half transparent) over a background: the background shows through; without one
  // the transparent half is white.
  auto source = MakeFlat(60, 40, RGB(255, 0, 0));
  auto mask = MakeBitmap(60, 40, [](int x, int) { return x < 30 ? RGB(0, 0, 0) : RGB(255, 255, 255); });
  ASSERT_EQ(S_OK, source->SetMask(mask.p));
  auto background = MakeFlat(10, 10, RGB(0, 0, 255));
  IBitmapPtr over =
      RenderImageToBitmap(CreateRenderPicture(source.p, nullptr, background.p, CropScale()), 30, 30);
  ASSERT_TRUE(over);
  Pixels p = Read(over);
  EXPECT_EQ(30, p.width);
  EXPECT_EQ(20, p.height);
  EXPECT_EQ(RGB(0, 0, 255), p.At(5, 10));
  EXPECT_EQ(RGB(255, 0, 0), p.At(25, 10));
  IBitmapPtr alone =
      RenderImageToBitmap(CreateRenderPicture(source.p, nullptr, nullptr, CropScale()), 60, 40);
  p = Read(alone);
  EXPECT_EQ(RGB(255, 255, 255), p.At(5, 10));
  EXPECT_EQ(RGB(255, 0, 0), p.At(55, 10));
}

namespace {

// A picture whose draw fails after it has painted part of the bitmap.
struct FailingPicture : zvkImage::IPictureFrame {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** o) override {
    if (iid == IID_IUnknown || iid == __uuidof(zvkImage::IPictureFrame)) {
      *o = this;
      return S_OK;
    }
    *o = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
#define NOT_USED(n) \
  HRESULT STDMETHODCALLTYPE Reserved##n() override { return E_NOTIMPL; }
  NOT_USED(3)
  NOT_USED(5)
  NOT_USED(6)
  NOT_USED(7)
  NOT_USED(8)
  NOT_USED(9)
  NOT_USED(10)
  NOT_USED(12)
  NOT_USED(13)
#undef NOT_USED
  HRESULT STDMETHODCALLTYPE GetSize(PictureSize* s) override {
    *s = PictureSize{};
    s->width = 10;
    s->height = 10;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Draw(HDC dc, const Mapping*, const Frame*, const void*) override {
    const RECT half{0, 0, 5, 10};
    FillRect(dc, &half, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE GetProperty(BSTR, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetProperty(BSTR, VARIANT) override { return E_NOTIMPL; }
};

}  // namespace

TEST(ExportRenderPicture, AFailedDrawGivesNoBitmapAndIsReported) {
  CScriptedPrompt prompts;
  prompts.Answer(IDOK);
  FailingPicture picture;
  EXPECT_FALSE(RenderImageToBitmap(&picture, 10, 10));
  EXPECT_EQ(1u, prompts.GetShown().size());
}
