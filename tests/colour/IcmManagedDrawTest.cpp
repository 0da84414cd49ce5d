// Bitmaps drawn through the image library's managed draw: converted once at the painted size, composited over
// the background afterwards; the manager drops the job's colour spaces when the job closes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "BitmapPixels.h"
#include "ColourTestSupport.h"
#include "Event.h"
#include "EventSource.h"
#include "IcmDraw.h"
#include "IcmManager.h"
#include "Render.h"
#include "zvkImage/zvkImage.h"

using namespace zvk;

namespace {

struct Rgb {
  int r, g, b;
};

// A memory DC on a top-down 24-bit DIB section.
class DibTarget {
 public:
  DibTarget(int width, int height) : width_(width) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB};
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~DibTarget() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC Dc() const { return dc_; }
  Rgb At(int x, int y = 0) const {
    GdiFlush();
    const uint8_t* p = bits_ + size_t(y) * ((width_ * 3 + 3) & ~3) + x * 3;
    return {p[2], p[1], p[0]};
  }
  void Fill(Rgb c) {
    HBRUSH brush = CreateSolidBrush(RGB(c.r, c.g, c.b));
    RECT all{0, 0, width_, 1000};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }

 private:
  int width_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint8_t* bits_ = nullptr;
};

struct ComScope {
  ComScope() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~ComScope() { CoUninitialize(); }
};

// A bitmap of one row of colours.
zvkImage::IBitmap* RowBitmap(const std::vector<Rgb>& colours) {
  IUnknown* unknown = nullptr;
  if (FAILED(zvkImage::CreateObject(zvkImage::CLSID_Bitmap, CLSCTX_ALL, &unknown))) return nullptr;
  zvkImage::IBitmap* bitmap = nullptr;
  unknown->QueryInterface(__uuidof(zvkImage::IBitmap), reinterpret_cast<void**>(&bitmap));
  unknown->Release();
  if (!bitmap) return nullptr;
  bitmap->Initialize(0);
  bitmap->Allocate(static_cast<long>(colours.size()), 1, 24, 0);
  HDC dc = nullptr;
  bitmap->GetDC(&dc);
  for (size_t x = 0; x < colours.size(); ++x)
    SetPixelV(dc, static_cast<int>(x), 0, RGB(colours[x].r, colours[x].g, colours[x].b));
  bitmap->ReleaseDC(dc);
  return bitmap;
}

void ExpectNear(Rgb got, Rgb want, const std::string& what) {
  EXPECT_LE(std::abs(got.r - want.r), 1) << what << " red " << got.r;
  EXPECT_LE(std::abs(got.g - want.g), 1) << what << " green " << got.g;
  EXPECT_LE(std::abs(got.b - want.b), 1) << what << " blue " << got.b;
}

class IcmManagedDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    ColorManagementSettings::Current() = {};
    ColorManagementSettings::Current().enabled = true;
    SetIcmJob(&job);
  }
  void TearDown() override {
    SetIcmJob(nullptr);
    SetIcmJobEvents(nullptr, nullptr);
    ColorManagementSettings::Current() = {};
    IcmCache::Instance().InvalidateAll();
  }
  ComScope com;
  colourtest::FixtureJob job;
};

const std::vector<Rgb> kColours = {{200, 100, 50}, {120, 200, 64}};
const std::vector<Rgb> kAdobeOnSrgb = {{227, 100, 42}, {51, 201, 44}};

}  // namespace

TEST_F(IcmManagedDraw, ABitmapIsConvertedAtThePaintedSize) {
  job.state = 2;
  zvkImage::IBitmap* bitmap = RowBitmap(kColours);
  ASSERT_NE(bitmap, nullptr);
  IcmCache cache;
  for (bool display : {true, false}) {
    DibTarget dib(8, 3);
    {
      std::unique_ptr<IcmBase> draw;
      if (display)
        draw = std::make_unique<IcmDisplay>(dib.Dc(), cache);
      else
        draw = std::make_unique<IcmsRGB>(dib.Dc(), cache);
      EXPECT_EQ(draw->DrawFromSource(IcmBase::kSourceJob, bitmap, RECT{0, 0, 8, 3}, POINT{0, 0}, SRCCOPY),
                S_OK);
      EXPECT_EQ(draw->DrawFromSource(7, bitmap, RECT{0, 0, 8, 3}, POINT{0, 0}, SRCCOPY), E_INVALIDARG);
    }
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 8; ++x)
        ExpectNear(dib.At(x, y), kAdobeOnSrgb[x / 4], (display ? "display " : "sRGB ") + std::to_string(x));
  }
  EXPECT_EQ(cache.ConversionCount(), 1u);
  bitmap->Release();
}

TEST_F(IcmManagedDraw, UnmanagedAndIdentityDrawsLeavePixelsAndMakeNoTransform) {
  zvkImage::IBitmap* bitmap = RowBitmap(kColours);
  ASSERT_NE(bitmap, nullptr);
  struct Case {
    bool enabled;
    int state;
  };
  for (Case c : {Case{false, 2}, Case{true, 1}, Case{true, -1}}) {
    job.state = c.state;
    ColorManagementSettings::Current().enabled = c.enabled;
    IcmCache cache;
    DibTarget dib(2, 1);
    {
      IcmDisplay draw(dib.Dc(), cache);
      EXPECT_EQ(draw.DrawFromSource(IcmBase::kSourceJob, bitmap, RECT{0, 0, 2, 1}, POINT{0, 0}, SRCCOPY),
                S_OK);
    }
    for (int x = 0; x < 2; ++x) ExpectNear(dib.At(x), kColours[x], "state " + std::to_string(c.state));
    EXPECT_EQ(cache.ConversionCount(), 0u) << "state " << c.state;
  }
  bitmap->Release();
}

TEST_F(IcmManagedDraw, AKeyedBitmapConvertsItsOwnPixelsAndLeavesTheBackground) {
  job.state = 2;
  zvkImage::IBitmap* bitmap = RowBitmap(kColours);
  zvkImage::IBitmap* mask = RowBitmap({{255, 255, 255}, {0, 0, 0}});
  ASSERT_TRUE(bitmap && mask);
  ASSERT_EQ(bitmap->SetMask(mask), S_OK);
  const Rgb background{200, 100, 50};
  DibTarget dib(2, 1);
  dib.Fill(background);
  IcmCache cache;
  {
    IcmDisplay draw(dib.Dc(), cache);
    EXPECT_EQ(draw.DrawFromSource(IcmBase::kSourceJob, bitmap, RECT{0, 0, 2, 1}, POINT{0, 0}, SRCCOPY), S_OK);
  }
  ExpectNear(dib.At(0), kAdobeOnSrgb[0], "opaque pixel, converted once");
  ExpectNear(dib.At(1), background, "transparent pixel, the background as it was");
  mask->Release();
  bitmap->Release();
}

TEST_F(IcmManagedDraw, TheDeviceContextGetsItsColourStateBack) {
  job.state = 2;
  zvkImage::IBitmap* bitmap = RowBitmap(kColours);
  ASSERT_NE(bitmap, nullptr);
  DibTarget dib(2, 1);
  const int mode = SetICMMode(dib.Dc(), ICM_QUERY);
  const HCOLORSPACE space = GetColorSpace(dib.Dc());
  for (bool enabled : {true, false}) {
    ColorManagementSettings::Current().enabled = enabled;
    IcmCache cache;
    {
      IcmDisplay draw(dib.Dc(), cache);
      draw.DrawFromSource(IcmBase::kSourceJob, bitmap, RECT{0, 0, 2, 1}, POINT{0, 0}, SRCCOPY);
      EXPECT_EQ(SetICMMode(dib.Dc(), ICM_QUERY), ICM_OFF) << "the pixels arrive converted";
    }
    EXPECT_EQ(SetICMMode(dib.Dc(), ICM_QUERY), mode);
    EXPECT_EQ(GetColorSpace(dib.Dc()), space);
  }
  bitmap->Release();
}

// A render reads the colour space of its picture from the picture's named property: a space id of the job
// converts, anything else (0, no value, a value that is no number) draws the picture as sRGB.
TEST_F(IcmManagedDraw, ARenderConvertsFromTheSpaceItsPictureNames) {
  job.state = 2;
  zvkImage::IBitmap* bitmap = RowBitmap(kColours);
  ASSERT_NE(bitmap, nullptr);
  struct Case {
    const char* what;
    _variant_t value;
    bool converted;
  } cases[] = {{"no value", _variant_t(), false},
               {"the job's space", _variant_t(-2L), true},
               {"the job's space, as text", _variant_t(L"-2"), true},
               {"sRGB", _variant_t(0L), false},
               {"no number", _variant_t(L"Adobe"), false}};
  for (const Case& c : cases) {
    IPictureFramePtr picture = CreateRenderPicture(bitmap, nullptr, nullptr, CropScale());
    if (c.value.vt != VT_EMPTY) ASSERT_EQ(picture->SetProperty(_bstr_t(kRenderSpaceProperty), c.value), S_OK);
    IBitmapPtr rendered = RenderImageToBitmap(picture, 2, 1);
    ASSERT_TRUE(rendered) << c.what;
    for (int x = 0; x < 2; ++x) {
      const COLORREF got = PixelOf(rendered, x, 0);
      ExpectNear({GetRValue(got), GetGValue(got), GetBValue(got)},
                 c.converted ? kAdobeOnSrgb[x] : kColours[x], c.what);
    }
  }
  bitmap->Release();
}

namespace {
class JobClosed : public Event {};
class OtherEvent : public Event {};
bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
}  // namespace

TEST_F(IcmManagedDraw, AnEmbeddedProfileIsHeldUntilTheJobClosesAfterTheLastDraw) {
  EventSource events;
  SetIcmJobEvents(&events, [](Event* e) { return dynamic_cast<JobClosed*>(e) != nullptr; });
  job.state = -2;
  job.profile = colourtest::ReadFileBytes(colourtest::DebianProfile("compatibleWithAdobeRGB1998.icc"));
  zvkImage::IBitmap* bitmap = RowBitmap(kColours);
  ASSERT_NE(bitmap, nullptr);
  DibTarget dib(2, 1);
  IcmCache& cache = IcmCache::Instance();
  std::string file;
  {
    IcmDisplay draw(dib.Dc());
    EXPECT_EQ(draw.DrawFromSource(IcmBase::kSourceJob, bitmap, RECT{0, 0, 2, 1}, POINT{0, 0}, SRCCOPY), S_OK);
    ExpectNear(dib.At(0), kAdobeOnSrgb[0], "embedded Adobe-compatible profile");
    ASSERT_EQ(cache.TemporaryFiles().size(), 1u);
    file = cache.TemporaryFiles()[0];
    HANDLE writer =
        CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE) << "nobody changes the file while it is used";
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    OtherEvent other;
    events.Fire(&other);
    JobClosed closed;
    events.Fire(&closed);
    EXPECT_TRUE(FileExists(file)) << "a draw in progress keeps it";
  }
  EXPECT_FALSE(FileExists(file)) << "gone once the draw ended";
  EXPECT_EQ(cache.EntryCount(), 0u);
  bitmap->Release();
}

TEST_F(IcmManagedDraw, SettingsChangesDropWhatTheCacheMade) {
  job.state = 2;
  IcmCache cache;
  IcmManager manager(cache);
  const std::string srgb = IcmCache::SrgbTargetPath();
  const IcmConversion* conversion = nullptr;
  IcmDocument document(&job, -2);
  ASSERT_EQ(cache.GetDocumentConversion(document, 0, srgb, &conversion), S_OK);
  std::string working;
  ASSERT_EQ(cache.GetWorkingProfile(working), S_OK);
  manager.OnSettingsChanged();  // on: conversions and job spaces go, the working profile stays
  EXPECT_EQ(cache.ConversionCount(), 0u);
  EXPECT_EQ(cache.EntryCount(), 0u);
  EXPECT_TRUE(FileExists(working));
  ColorManagementSettings::Current().enabled = false;
  manager.OnSettingsChanged();
  EXPECT_FALSE(FileExists(working));
}
