// One image made ready for its file: crop, transparency on the fill colour, the tone curve, the target size
// and resolution; and the written files read back in every format and depth.
#include "ExportRender.h"

#include "ColourTestSupport.h"
#include "IcmDraw.h"
#include "ImageTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace imagetest;

namespace {

long Dpi(zvkImage::IBitmap* bitmap) {
  auto resolution = Query<zvkImage::IResolution>(bitmap);
  long x = 0, y = 0;
  resolution->GetResolution(&x, &y);
  EXPECT_EQ(x, y);
  return x;
}

// One row of a bitmap of any size (Read takes at most 65536 pixels).
std::vector<COLORREF> Row(zvkImage::IBitmap* bitmap, int y) {
  auto ex = Query<zvkImage::IBitmapEx>(bitmap);
  long w = 0;
  ex->GetWidth(&w);
  RECT r{0, y, w, y + 1};
  VARIANT v;
  EXPECT_EQ(S_OK, ex->Sample(&r, &v));
  std::vector<COLORREF> row;
  LONG* data = nullptr;
  SafeArrayAccessData(v.parray, reinterpret_cast<void**>(&data));
  row.assign(data, data + w);
  SafeArrayUnaccessData(v.parray);
  VariantClear(&v);
  return row;
}

VARIANT Inverting() {
  SAFEARRAYBOUND bound{256, 0};
  SAFEARRAY* array = SafeArrayCreate(VT_UI1, 1, &bound);
  BYTE* data = nullptr;
  SafeArrayAccessData(array, reinterpret_cast<void**>(&data));
  for (int i = 0; i < 256; ++i) data[i] = BYTE(255 - i);
  SafeArrayUnaccessData(array);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_UI1;
  v.parray = array;
  return v;
}

std::string Scratch(const char* name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + "pellorin-export-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

}  // namespace

TEST(ExportRenderImage, SameSizeKeepsTheCutAndToSizeResamplesItsCentredPart) {
  // 1000 x 1000: the outer 125 columns on each side red, the middle green.
  auto source = MakeBitmap(1000, 1000,
                           [](int x, int) { return x < 125 || x >= 875 ? RGB(255, 0, 0) : RGB(0, 255, 0); });
  ExportRenderOptions options;
  options.dpi = 300;
  IBitmapPtr same = RenderExportImage(source.p, nullptr, nullptr, CropScale(), options);
  ASSERT_TRUE(same);
  long w = 0, h = 0;
  same->GetWidth(&w);
  same->GetHeight(&h);
  EXPECT_EQ(1000, w);
  EXPECT_EQ(1000, h);
  EXPECT_EQ(300, Dpi(same));
  options.sameSize = false;
  options.width = 300;
  options.height = 400;
  IBitmapPtr sized = RenderExportImage(source.p, nullptr, nullptr, CropScale(), options);
  ASSERT_TRUE(sized);
  sized->GetWidth(&w);
  sized->GetHeight(&h);
  ASSERT_EQ(300, w);
  ASSERT_EQ(400, h);
  EXPECT_EQ(300, Dpi(sized));
  // The centred 750 x 1000 holds no red: every column is green.
  const std::vector<COLORREF> row = Row(sized, 200);
  for (int x : {0, 1, 150, 298, 299}) EXPECT_EQ(RGB(0, 255, 0), row[size_t(x)]) << x;
  // Without resampling (the preview) the cut keeps its size.
  options.resample = false;
  sized = RenderExportImage(source.p, nullptr, nullptr, CropScale(), options);
  sized->GetWidth(&w);
  EXPECT_EQ(750, w);
}

TEST(ExportRenderImage, TransparentPartsLieOnWhiteOrTheTransparencyColourAndTheCurveApplies) {
  auto source = MakeFlat(40, 20, RGB(200, 0, 0));
  auto mask = MakeBitmap(40, 20, [](int x, int) { return x < 20 ? RGB(0, 0, 0) : RGB(255, 255, 255); });
  // Half-transparent: greys mix.
  auto half = MakeFlat(40, 20, RGB(128, 128, 128));
  ExportRenderOptions options;
  Pixels p = Read(RenderExportImage(source.p, mask.p, nullptr, CropScale(), options));
  EXPECT_EQ(RGB(255, 255, 255), p.At(5, 10));
  EXPECT_EQ(RGB(200, 0, 0), p.At(35, 10));
  p = Read(RenderExportImage(source.p, half.p, nullptr, CropScale(), options));
  EXPECT_LE(MaxDifference(RGB(228, 127, 127), p.At(5, 10)), 1);
  options.transparencyUse = true;
  options.transparencyColor = RGB(0, 0, 255);
  p = Read(RenderExportImage(source.p, mask.p, nullptr, CropScale(), options));
  EXPECT_EQ(RGB(0, 0, 255), p.At(5, 10));
  // The mask is cut with the picture: x 0.5 moves the transparent half out of the frame's left.
  CropScale moved;
  moved.posA = 0.5;
  p = Read(RenderExportImage(source.p, mask.p, nullptr, moved, options));
  EXPECT_EQ(RGB(255, 255, 255), p.At(5, 10)) << "beyond the picture: the crop's white";
  EXPECT_EQ(RGB(0, 0, 255), p.At(25, 10)) << "the masked half, moved right";
  // The source itself keeps no mask.
  EXPECT_EQ(RGB(200, 0, 0), Read(source.p).At(5, 10));
  VARIANT curve = Inverting();
  options.lut = &curve;
  options.transparencyUse = false;
  p = Read(RenderExportImage(source.p, nullptr, nullptr, CropScale(), options));
  EXPECT_EQ(RGB(55, 255, 255), p.At(5, 10));
  VariantClear(&curve);
}

TEST(ExportRenderImage, AKeyedSubjectLiesOnItsBackground) {
  auto source = MakeFlat(40, 20, RGB(200, 0, 0));
  auto mask = MakeBitmap(40, 20, [](int x, int) { return x < 20 ? RGB(0, 0, 0) : RGB(255, 255, 255); });
  ASSERT_EQ(S_OK, source->SetMask(mask.p));  // the key's transparency, as the working bitmap carries it
  auto background = MakeFlat(8, 8, RGB(0, 128, 0));
  ExportRenderOptions options;
  const Pixels p = Read(RenderExportImage(source.p, nullptr, background.p, CropScale(), options));
  ASSERT_EQ(40, p.width);
  EXPECT_EQ(RGB(0, 128, 0), p.At(5, 10));
  EXPECT_EQ(RGB(200, 0, 0), p.At(35, 10));
}

// The files hold sRGB whatever the job's colour space, on both paths: the cut drawn over the fill, and the
// picture laid over a replacement background.
class ExportRenderColour : public ::testing::Test {
 protected:
  void SetUp() override {
    zvk::ColorManagementSettings::Current() = {};
    zvk::ColorManagementSettings::Current().enabled = true;
    zvk::SetIcmJob(&job);
  }
  void TearDown() override {
    zvk::SetIcmJob(nullptr);
    zvk::ColorManagementSettings::Current() = {};
    zvk::IcmCache::Instance().InvalidateAll();
  }
  colourtest::FixtureJob job;
};

TEST_F(ExportRenderColour, AJobInAnotherSpaceExportsInSrgbOnBothPaths) {
  const COLORREF subject = RGB(200, 100, 50), under = RGB(120, 200, 64);
  // The same two colours of an Adobe RGB job, as sRGB shows them.
  const COLORREF subjectSrgb = RGB(227, 100, 42), underSrgb = RGB(51, 201, 44);
  // Keyed: the left half shows the background.
  auto keyed = MakeFlat(40, 20, subject);
  auto key = MakeBitmap(40, 20, [](int x, int) { return x < 20 ? RGB(0, 0, 0) : RGB(255, 255, 255); });
  ASSERT_EQ(S_OK, keyed->SetMask(key.p));
  auto background = MakeFlat(8, 8, under);
  CropScale zoomed;
  zoomed.scale = 1.25;
  struct Case {
    const char* what;
    int state;  // the job's colour space: 2 Adobe RGB, 1 sRGB, -1 none
    bool enabled;
    bool toSrgb;
    bool converted;
  } cases[] = {
      {"Adobe RGB job", 2, true, true, true},
      {"sRGB job", 1, true, true, false},
      {"job without a colour space", -1, true, true, false},
      {"colour management off", 2, false, true, false},
      {"preview, converted by the screen's draw", 2, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    job.state = c.state;
    zvk::IcmCache::Instance().InvalidateAll();  // as the colour layer does when the job's space changes
    zvk::ColorManagementSettings::Current().enabled = c.enabled;
    ExportRenderOptions options;
    options.toSrgb = c.toSrgb;
    const COLORREF wantSubject = c.converted ? subjectSrgb : subject;
    const COLORREF wantUnder = c.converted ? underSrgb : under;
    auto plain = MakeFlat(40, 20, subject);
    for (const CropScale& crop : {CropScale(), zoomed}) {
      const Pixels p = Read(RenderExportImage(plain.p, nullptr, nullptr, crop, options));
      ASSERT_GT(p.width, 0);
      EXPECT_LE(MaxDifference(wantSubject, p.At(p.width / 2, p.height / 2)), 1) << "without a background";
    }
    const Pixels p = Read(RenderExportImage(keyed.p, nullptr, background.p, CropScale(), options));
    ASSERT_EQ(40, p.width);
    EXPECT_LE(MaxDifference(wantUnder, p.At(5, 10)), 1) << "the background";
    EXPECT_LE(MaxDifference(wantSubject, p.At(35, 10)), 1) << "the subject over it";
  }
  EXPECT_EQ(subject, Read(keyed.p).At(35, 10)) << "the working bitmap is left as it was";
}

TEST(ExportRenderImage, WrittenFilesReadBackInEveryFormatAndDepth) {
  // A smooth picture, as photographs are.
  auto source = MakeBitmap(64, 48, [](int x, int y) { return RGB(60 + x * 2, 40 + y * 3, 150 - x); });
  ExportRenderOptions options;
  options.dpi = 240;
  IBitmapPtr output = RenderExportImage(source.p, nullptr, nullptr, CropScale(), options);
  const Pixels want = Read(output);
  struct Format {
    long type;
    const char* ext;
    bool lossless;
    bool keepsDpi;
  } formats[] = {{zvkImage::ftJPEG, "jpg", false, true}, {zvkImage::ftPNG, "png", true, true},
                 {zvkImage::ftTIFF, "tif", true, true},  {zvkImage::ftTARGA, "tga", true, false},
                 {zvkImage::ftBMP, "bmp", true, true},   {zvkImage::ftPCX, "pcx", true, true}};
  for (const Format& f : formats)
    for (long bits : {24L, 8L}) {
      const std::string path = Scratch((std::to_string(bits) + "." + f.ext).c_str());
      ASSERT_EQ(S_OK, output->Save(Bstr(path), f.type, bits, f.type == zvkImage::ftJPEG ? 2 : 0)) << path;
      auto back = NewBitmap();
      ASSERT_EQ(S_OK, back->Load(Bstr(path), 24)) << path;
      const Pixels got = Read(back.p);
      DeleteFileA(path.c_str());
      ASSERT_EQ(want.width, got.width) << path;
      ASSERT_EQ(want.height, got.height) << path;
      if (f.keepsDpi) EXPECT_EQ(240, Dpi(back.p)) << path;
      double squared = 0, absolute = 0;
      bool grey = true;
      for (size_t i = 0; i < want.values.size(); ++i) {
        const COLORREF a = want.values[i], b = got.values[i];
        for (int shift : {0, 8, 16}) {
          const double d = double((a >> shift) & 0xFF) - double((b >> shift) & 0xFF);
          squared += d * d;
          absolute += std::fabs(d);
        }
        grey = grey && GetRValue(b) == GetGValue(b) && GetGValue(b) == GetBValue(b);
      }
      const double samples = double(want.values.size()) * 3;
      if (f.type == zvkImage::ftJPEG && bits == 8) {
        EXPECT_TRUE(grey) << "an 8-bit JPEG is grey";
      } else if (f.type == zvkImage::ftJPEG) {
        EXPECT_GE(10 * std::log10(255.0 * 255.0 / (squared / samples)), 35.0) << path;
      } else if (bits == 24) {
        EXPECT_TRUE(want.values == got.values) << path;
      } else {
        EXPECT_LE(absolute / samples, 4.0) << path;
      }
    }
}

// The files check-outside-readers.sh hands to netpbm and ImageMagick: an export written as PCX and PICT at
// 24 and 8 bits, and the pixels expected of them (PPM). Skipped unless the script names the folder.
TEST(ExportRenderImage, FilesForTheOutsideReaders) {
  const char* folder = std::getenv("PELLORIN_EXPORT_OUT");
  if (!folder) GTEST_SKIP() << "run by check-outside-readers.sh";
  auto source = MakeBitmap(64, 48, [](int x, int y) { return RGB(60 + x * 2, 40 + y * 3, 150 - x); });
  ExportRenderOptions options;
  options.dpi = 240;
  CropScale crop;
  crop.scale = 1.25;
  IBitmapPtr output = RenderExportImage(source.p, nullptr, nullptr, crop, options);
  ASSERT_TRUE(output);
  const std::string base = std::string(folder) + "\\export";
  for (long bits : {24L, 8L}) {
    const std::string stem = base + std::to_string(bits);
    ASSERT_EQ(S_OK, output->Save(Bstr(stem + ".pcx"), zvkImage::ftPCX, bits, 0));
    ASSERT_EQ(S_OK, output->Save(Bstr(stem + ".pct"), zvkImage::ftPICT, bits, 0));
  }
  const Pixels want = Read(output);
  std::string ppm = "P6\n" + std::to_string(want.width) + " " + std::to_string(want.height) + "\n255\n";
  for (COLORREF c : want.values) ppm += {char(GetRValue(c)), char(GetGValue(c)), char(GetBValue(c))};
  FILE* f = std::fopen((std::string(folder) + "\\want.ppm").c_str(), "wb");
  ASSERT_TRUE(f);
  std::fwrite(ppm.data(), 1, ppm.size(), f);
  std::fclose(f);
}
