// The keyer with the image library's own bitmaps: AutoCompute reads a bitmap's whole picture through its
// pixel rows, and FineTune's answer is what keying a one-pixel bitmap gives.
#include <gtest/gtest.h>

#include <zvkImage/zvkImage.h>

#include "KeyerTestSupport.h"

using namespace keyertest;

namespace {

// A bitmap of the image library holding the scene's pixels, handed over as a packed top-down DIB.
IUnknown* NewBitmap(const Scene& s) {
  const size_t stride = (static_cast<size_t>(s.width) * 3 + 3) & ~size_t(3);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(BITMAPINFOHEADER) + stride * s.height);
  auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
  bi->biSize = sizeof(BITMAPINFOHEADER);
  bi->biWidth = s.width;
  bi->biHeight = -s.height;
  bi->biPlanes = 1;
  bi->biBitCount = 24;
  uint8_t* rows = reinterpret_cast<uint8_t*>(bi + 1);
  for (int y = 0; y < s.height; ++y)
    memcpy(rows + y * stride, &s.bgr[static_cast<size_t>(y) * s.width * 3], static_cast<size_t>(s.width) * 3);
  GlobalUnlock(block);
  IUnknown* unknown = nullptr;
  EXPECT_EQ(S_OK, zvkImage::CreateObject(zvkImage::CLSID_Bitmap, CLSCTX_ALL, &unknown));
  zvkImage::IBitmap* bitmap = nullptr;
  unknown->QueryInterface(__uuidof(zvkImage::IBitmap), reinterpret_cast<void**>(&bitmap));
  unknown->Release();
  EXPECT_EQ(S_OK, bitmap->AttachHandle(block));
  return bitmap;
}

}  // namespace

TEST(KeyerWithImageBitmaps, AutoComputeReadsTheWholeBitmapAndKeysItsScreen) {
  for (bool blue : {false, true}) {
    SCOPED_TRACE(blue ? "blue screen" : "green screen");
    const Scene scene = MakeComposite(blue, 320, 240);
    IUnknown* bitmap = NewBitmap(scene);
    IUnknown* source = NewPixelSource(scene);
    IChromaKeyer* fromBitmap = NewKeyer();
    IChromaKeyer* fromRows = NewKeyer();
    ASSERT_EQ(S_OK, fromBitmap->AutoCompute(bitmap, 0, 0));
    ASSERT_EQ(S_OK, fromRows->AutoCompute(source, 0, 0));
    // The same pixels give the same model, so the same state file.
    EXPECT_EQ(Save(fromRows), Save(fromBitmap));
    const Keyed keyed = KeyScene(fromBitmap, scene);
    size_t screens = 0, gone = 0, subjects = 0, kept = 0;
    for (size_t i = 0; i < scene.truth.size(); ++i) {
      if (scene.truth[i] == kScreen) screens++, gone += keyed.alpha[i] < 16;
      if (scene.truth[i] == kSubject) subjects++, kept += keyed.alpha[i] == 255;
    }
    EXPECT_GT(gone, screens * 95 / 100);
    EXPECT_GT(kept, subjects * 95 / 100);
    fromRows->Release();
    fromBitmap->Release();
    source->Release();
    bitmap->Release();
  }
}

TEST(KeyerWithImageBitmaps, FineTuneAnswersWhatAOnePixelBitmapKeysTo) {
  const Scene scene = MakeComposite(false);
  IUnknown* bitmap = NewBitmap(scene);
  IChromaKeyer* keyer = NewKeyer();
  ASSERT_EQ(S_OK, keyer->AutoCompute(bitmap, 0, 0));
  bitmap->Release();
  const std::string path = Save(keyer);
  const uint8_t* hair =
      &scene.bgr[(static_cast<size_t>(scene.height / 6) * scene.width + scene.width / 2) * 3];
  for (uint32_t colour : {scene.screen, scene.skin, scene.shirt, 0x00FFFFFFu, 0u,
                          static_cast<uint32_t>(RGB(hair[2], hair[1], hair[0]))}) {
    SCOPED_TRACE(colour);
    COLORREF tuned = 0;
    float opacity = -1;
    ASSERT_EQ(S_OK, keyer->FineTune(OneColour(colour), 0, 0, 0, &tuned, &opacity));
    Scene one;
    one.width = one.height = 1;
    one.bgr = {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
               static_cast<uint8_t>(colour)};
    IUnknown* pixel = NewBitmap(one);
    zvkImage::IKeyerState* keying = nullptr;
    ASSERT_EQ(S_OK,
              pixel->QueryInterface(__uuidof(zvkImage::IKeyerState), reinterpret_cast<void**>(&keying)));
    BSTR text = SysAllocString(Wide(path).c_str());
    EXPECT_EQ(S_OK, keying->ApplyState(text));
    SysFreeString(text);
    keying->Release();
    zvkImage::IBitmapEx* ex = nullptr;
    pixel->QueryInterface(__uuidof(zvkImage::IBitmapEx), reinterpret_cast<void**>(&ex));
    RECT r{0, 0, 1, 1};
    VARIANT value;
    ASSERT_EQ(S_OK, ex->Sample(&r, &value));
    EXPECT_EQ(static_cast<LONG>(tuned), value.lVal);
    zvkImage::IBitmap* matte = nullptr;
    ASSERT_EQ(S_OK, ex->Matte(&matte));
    zvkImage::IBitmapEx* matteEx = nullptr;
    matte->QueryInterface(__uuidof(zvkImage::IBitmapEx), reinterpret_cast<void**>(&matteEx));
    ASSERT_EQ(S_OK, matteEx->Sample(&r, &value));
    EXPECT_FLOAT_EQ(opacity, GetRValue(value.lVal) / 255.0f);
    matteEx->Release();
    matte->Release();
    ex->Release();
    pixel->Release();
  }
  keyer->Release();
}
