// The export run on a real job, through the document's Export command with the real dialog under the
// desktop: every image is written as set and read back, and holds what the job renders for it, cut and laid
// out as the run's steps say, with the masks and replacement backgrounds the job keeps for them.
#include "DocumentTestSupport.h"
#include "ImagesJobFixture.h"

#include "DialogDriver.h"
#include "ImageTestSupport.h"
#include "WindowShot.h"

#include "AdjustBitmap.h"
#include "ControlClasses.h"
#include "ExportRender.h"
#include "ImageExportSettings.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace doctest;
using testsupport::DialogDriver;
using testsupport::WaitFor;
using testsupport::WindowText;

namespace {

IBitmapPtr Painted(long width, long height, const imagetest::PixelFn& colour) {
  IBitmapPtr bitmap = CreateImageBitmap("test", 1);
  EXPECT_EQ(S_OK, bitmap->Allocate(width, height, 24, 0));
  HDC dc = nullptr;
  EXPECT_EQ(S_OK, bitmap->GetDC(&dc));
  for (long y = 0; y < height; ++y)
    for (long x = 0; x < width; ++x) SetPixelV(dc, x, y, colour(x, y));
  EXPECT_EQ(S_OK, bitmap->ReleaseDC(dc));
  return bitmap;
}

// A sitter before a green backdrop: the backdrop on the left third, warm texture elsewhere.
COLORREF Sitting(int x, int y) {
  return x < 20 ? RGB(30, 190, 40) : RGB(150 + x % 7 * 10, 90 + y % 5 * 12, 60 + (x + y) % 3 * 20);
}

// Colours that differ along both axes and from pixel to pixel, so that turns, mirrors, curves and
// sharpening each show.
COLORREF Textured(int x, int y) {
  return RGB(20 * x + 10, 30 * y + 5, (x * y * 37 + (x + y) % 2 * 90) % 256);
}

bool IsWhite(COLORREF c) { return imagetest::MaxDifference(c, RGB(255, 255, 255)) <= 2; }

class ExportJobRunTest : public ImagesJobFixture {
 protected:
  ExportJobRunTest() : ImagesJobFixture("export-run") {}
  void SetUp() override {
    ImagesJobFixture::SetUp();
    ControlClasses::RegisterAll();
    out = folder.Path() + "out";
    ImageExportSettings& s = settings();
    s = ImageExportSettings();
    s.Path = out.c_str();
    s.FilenamePre = "img";
    s.FilenameWidth = 3;
    s.FilenameExt = "bmp";
    s.Type = zvkImage::ftBMP;
    s.Bits = 24;
    s.DPI = 150;
  }
  void TearDown() override {
    settings() = ImageExportSettings();
    ImagesJobFixture::TearDown();
  }
  static ImageExportSettings& settings() { return ImageExportSettings::Instance(); }

  // Runs the document's Export command: starts the run, waits for its result and closes the dialog. The
  // result text; the status text and the overall bar as the run left them.
  std::string RunExportCommand(const char* shot = nullptr) {
    std::string result;
    DialogDriver driver("Export images", [&](HWND hDlg) {
      testsupport::ClickButton(hDlg, IDC_EXPORT_START);
      EXPECT_TRUE(WaitFor([&] { return !WindowText(::GetDlgItem(hDlg, IDC_EXPORT_RESULT)).empty(); }, 60000));
      EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(::GetDlgItem(hDlg, IDC_EXPORT_START)) != FALSE; }));
      result = WindowText(::GetDlgItem(hDlg, IDC_EXPORT_RESULT));
      status = WindowText(::GetDlgItem(hDlg, IDC_EXPORT_STATUS));
      overall = int(::SendMessageA(::GetDlgItem(hDlg, IDC_EXPORT_PROGRESS), PBM_GETPOS, 0, 0));
      if (shot) testsupport::SaveWindowShot(hDlg, shot);
      testsupport::ClickButton(hDlg, IDCANCEL);
      return true;
    });
    EXPECT_TRUE(document.OnCmdMsg(ID_EXPORT_IMAGES, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(driver.Succeeded());
    return result;
  }

  // The file the run wrote for an image, read back; its resolution too.
  imagetest::Pixels Exported(const CString& id, long* dpi = nullptr) {
    char name[32];
    std::snprintf(name, sizeof name, "\\img%03d.bmp", int(document.GetImageNumber(id)));
    auto back = imagetest::NewBitmap();
    EXPECT_EQ(S_OK, back->Load(imagetest::Bstr(out + name), 24)) << name;
    if (dpi) {
      long vertical = 0;
      imagetest::Query<zvkImage::IResolution>(back.p)->GetResolution(dpi, &vertical);
    }
    return imagetest::Read(back.p);
  }

  // What the run's steps make of the job's render of an image with the settings of SetUp.
  imagetest::Pixels Expected(const CString& id) {
    ExportRenderOptions options;
    options.dpi = settings().DPI;
    IBitmapPtr rendered = document.RenderImage(id);
    EXPECT_TRUE(rendered);
    return imagetest::Read(RenderExportImage(rendered, document.GetImageMaskBitmap(id, true),
                                             document.GetImageBackgroundBitmap(id, true),
                                             document.GetImageCropScale(id), options)
                               .GetInterfacePtr());
  }

  std::string out;
  std::string status;
  int overall = 0;
};

}  // namespace

TEST_F(ExportJobRunTest, AJobsCroppedTurnedCorrectedAndKeyedImagesAreWrittenAsTheJobRendersThem) {
  const CString cropped = ImportBitmap(Painted(60, 40, Sitting), "cropped");
  CropScale crop;
  crop.posA = 0.1;
  document.SetImageCropScale(cropped, crop);
  const CString turned = ImportBitmap(Painted(60, 40, Sitting), "turned");
  document.RotateImage(turned, 25);  // tenths of a degree
  const std::string file = folder.File("corrected.bmp");
  ASSERT_EQ(S_OK, Painted(60, 40, Sitting)->Save(_bstr_t(file.c_str()), zvkImage::ftBMP, 24, 0));
  const CString corrected = ImportBitmap(Painted(60, 40, Sitting), file.c_str(), true);
  ColorCorrectValues values;
  values.red = 10;
  values.contrast = 10;
  values.saturation = 10;
  document.SetImageColorCorrection(corrected, values);
  const CString keyed = ImportBitmap(Painted(60, 40, Sitting), "keyed");
  ChromaKey key;
  key.on = 1;
  key.keyColour = ChromaKey::KeyColourGreen;
  document.SetImageChromaKey(keyed, key);
  // The keyed sitter before a blue backdrop of the job's; another sitter behind a mask that hides the
  // right half of the picture.
  const CString backed = ImportBitmap(Painted(60, 40, Sitting), "backed");
  document.SetImageChromaKey(backed, key);
  document.SetImageBackground(
      backed, document.AddBackground(Painted(60, 40, [](int, int) { return RGB(20, 40, 200); }), "blue"));
  document.SetImageBackgroundOn(backed, true);
  const CString masked = ImportBitmap(Painted(60, 40, Sitting), "masked");
  document.SetImageMask(
      masked,
      document.AddMask(Painted(60, 40, [](int x, int) { return x < 30 ? RGB(0, 0, 0) : RGB(255, 255, 255); }),
                       "right half"));
  document.SetImageMaskOn(masked, true);

  EXPECT_EQ("Finished, 6 exported", RunExportCommand("export-run-job"));
  EXPECT_EQ("Image 6 of 6", status);
  EXPECT_EQ(100, overall);
  for (const CString& id : {cropped, turned, corrected, keyed, backed}) {
    SCOPED_TRACE(static_cast<LPCTSTR>(document.GetImageFileName(id)));
    long dpi = 0;
    const imagetest::Pixels got = Exported(id, &dpi);
    const imagetest::Pixels want = Expected(id);
    EXPECT_EQ(150, dpi);
    ASSERT_EQ(want.width, got.width);
    ASSERT_EQ(want.height, got.height);
    EXPECT_TRUE(want.values == got.values) << "the file holds the render, cut and laid over white";
  }
  // What each correction does shows in its file: the crop moved right, white on the left; the turn's new
  // corners white; the key's backdrop white; the corrected image redder than the plain one.
  const imagetest::Pixels c = Exported(cropped);
  EXPECT_TRUE(IsWhite(c.At(2, c.height / 2)));
  EXPECT_FALSE(IsWhite(c.At(c.width * 3 / 4, c.height / 2)));
  const imagetest::Pixels t = Exported(turned);
  EXPECT_GT(t.width, 60);
  EXPECT_TRUE(IsWhite(t.At(0, 0)));
  const imagetest::Pixels k = Exported(keyed);
  EXPECT_TRUE(IsWhite(k.At(5, 20)));
  EXPECT_FALSE(IsWhite(k.At(40, 20)));
  const imagetest::Pixels r = Exported(corrected);
  EXPECT_GT(GetRValue(r.At(40, 20)), GetRValue(Sitting(40, 20)));
  const imagetest::Pixels b = Exported(backed);
  EXPECT_LE(imagetest::MaxDifference(b.At(5, 20), RGB(20, 40, 200)), 4) << "the backdrop keyed onto the blue";
  EXPECT_FALSE(IsWhite(b.At(40, 20)));
  const imagetest::Pixels m = Exported(masked);
  EXPECT_FALSE(IsWhite(m.At(25, 20)));
  EXPECT_TRUE(IsWhite(m.At(50, 20))) << "white in the mask lies on white";
}

// An image imported with a quarter turn, a mirror, a tone curve and sharpening is exported with each of them
// exactly once, whether the job stores the picture or links its file.
TEST_F(ExportJobRunTest, ImportProcessingIsExportedOnceStoredAndLinked) {
  LutServerRegistered lutServer;
  ImageProcessing processing;
  processing.quarterTurns = 1;
  processing.flipB = 1;
  ILut* curve = processing.lut.GetObject();
  ASSERT_TRUE(curve);
  ASSERT_EQ(S_OK, curve->put_GammaStyle(gsOver));
  ASSERT_EQ(S_OK, curve->put_Value(chAll, _bstr_t(L"Gamma"), _variant_t(2.2f)));
  processing.sharpen.on = 1;
  processing.sharpen.kernel = 3;
  processing.sharpen.strength = 100;
  IBitmapPtr source = Painted(12, 8, Textured);
  const std::string file = folder.File("linked.bmp");
  ASSERT_EQ(S_OK, source->Save(_bstr_t(file.c_str()), zvkImage::ftBMP, 24, 0));
  IBitmapPtr once = CreateImageBitmap("test", 2);
  ASSERT_EQ(S_OK, once->CopyFrom(source));
  ASSERT_TRUE(AdjustBitmap(once, 1, false, true, processing.lut, processing.sharpen));
  const imagetest::Pixels want = imagetest::Read(once.GetInterfacePtr());

  const CString stored = ImportBitmap(source, "stored", false, &processing);
  const CString linked = ImportBitmap(source, file.c_str(), true, &processing);
  EXPECT_EQ("Finished, 2 exported", RunExportCommand());
  for (const CString& id : {stored, linked}) {
    SCOPED_TRACE(id == stored ? "stored" : "linked");
    const imagetest::Pixels got = Exported(id);
    EXPECT_EQ(8, got.width) << "turned once";
    EXPECT_TRUE(want.values == got.values);
  }
}
