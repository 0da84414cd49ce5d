// One image made ready for its file: crop, transparency on the fill colour, the tone curve, the target size
// and resolution; and the written files read back in every format and depth.
#include "ExportRender.h"

#include "ImageTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
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
