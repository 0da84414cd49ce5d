#include <Fixtures.h>

#include "ImageTestSupport.h"
#include "MemoryStream.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

using namespace imagetest;
using namespace zvkImage;

namespace {

// A 24-bit DIB section in a memory DC, filled with one colour.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  Canvas(int w, int h, COLORREF fill) {
    BITMAPINFOHEADER bi{sizeof(bi), w, -h, 1, 24};
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bitmap);
    RECT r{0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};

}  // namespace

TEST(ImageDrawing, DeviceContextDrawsOntoThePixels) {
  auto bitmap = MakeFlat(10, 8, RGB(0, 0, 0));
  HDC dc = nullptr;
  ASSERT_EQ(S_OK, bitmap->GetDC(&dc));
  ASSERT_NE(nullptr, dc);
  RECT r{2, 2, 5, 4};
  HBRUSH brush = CreateSolidBrush(RGB(200, 10, 20));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  ASSERT_EQ(S_OK, bitmap->ReleaseDC(dc));
  const Pixels p = Read(bitmap.p);
  EXPECT_EQ(RGB(200, 10, 20), p.At(2, 2));
  EXPECT_EQ(RGB(200, 10, 20), p.At(4, 3));
  EXPECT_EQ(RGB(0, 0, 0), p.At(5, 3));
  EXPECT_EQ(S_FALSE, bitmap->ReleaseDC(nullptr));
}

TEST(ImageDrawing, DrawScalesAndKeyedPixelsShowWhatLiesBehind) {
  auto bitmap = MakeBitmap(4, 4, [](int x, int) { return x < 2 ? RGB(0, 255, 0) : RGB(0, 0, 255); });
  Canvas canvas(8, 8, RGB(255, 0, 0));
  RECT target{0, 0, 8, 8};
  POINT origin{0, 0};
  ASSERT_EQ(S_OK, bitmap->Draw(canvas.dc, &target, &origin, SRCCOPY));
  EXPECT_EQ(RGB(0, 255, 0), canvas.At(1, 1));
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(6, 6));
  const float key[5] = {120.0f / 360, 10.0f / 360, 3.0f / 360, 0.05f, 0.2f};
  bitmap->HueKey(key);
  Canvas behind(8, 8, RGB(255, 0, 0));
  ASSERT_EQ(S_OK, bitmap->Draw(behind.dc, &target, &origin, SRCCOPY));
  EXPECT_EQ(RGB(255, 0, 0), behind.At(1, 1));  // keyed green: the red behind shows
  EXPECT_EQ(RGB(0, 0, 255), behind.At(6, 6));
}

TEST(ImageDrawing, MaskHidesWhatItCoversUntilRemoved) {
  auto bitmap = MakeFlat(4, 4, RGB(0, 0, 255));
  auto mask = MakeBitmap(4, 4, [](int x, int) { return x < 2 ? RGB(0, 0, 0) : RGB(255, 255, 255); });
  ASSERT_EQ(S_OK, bitmap->SetMask(mask.p));
  Canvas canvas(4, 4, RGB(255, 255, 255));
  RECT all{0, 0, 4, 4};
  ASSERT_EQ(S_OK, bitmap->DrawRect(canvas.dc, &all, &all, SRCCOPY));
  EXPECT_EQ(RGB(255, 255, 255), canvas.At(0, 1));
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(3, 1));
  ASSERT_EQ(S_OK, bitmap->RemoveMask());
  Canvas plain(4, 4, RGB(255, 255, 255));
  ASSERT_EQ(S_OK, bitmap->DrawRect(plain.dc, &all, &all, SRCCOPY));
  EXPECT_EQ(RGB(0, 0, 255), plain.At(0, 1));
}

TEST(ImageDrawing, MatteIsTheAlphaAsGrey) {
  auto bitmap = MakeBitmap(2, 1, [](int x, int) { return x ? RGB(255, 0, 0) : RGB(0, 255, 0); });
  EXPECT_EQ((std::vector<int>{255, 255}), ReadAlpha(bitmap.p));
  const float key[5] = {120.0f / 360, 10.0f / 360, 3.0f / 360, 0.05f, 0.2f};
  bitmap->HueKey(key);
  EXPECT_EQ((std::vector<int>{0, 255}), ReadAlpha(bitmap.p));
}

TEST(ImageDrawing, PixelsKeepTheirSizeWhileADeviceContextIsOut) {
  const std::string file = testsupport::ScratchFolder("drawing") + "\\other.bmp";
  auto other = MakeFlat(30, 20, RGB(9, 9, 9));
  ASSERT_EQ(S_OK, other->Save(Bstr(file), ftBMP, 24, 0));
  MemoryStream persisted;
  ASSERT_EQ(S_OK, other->SaveToStream(&persisted, 0));

  // Device context first: every call that would give the bitmap new pixels is refused until it is back.
  auto bitmap = MakeFlat(10, 8, RGB(0, 0, 0));
  HDC dc = nullptr;
  ASSERT_EQ(S_OK, bitmap->GetDC(&dc));
  persisted.position = 0;
  const struct {
    const char* name;
    HRESULT hr;
  } refused[] = {
      {"Resample", bitmap->Resample(40, 30, 24)}, {"ResampleFast", bitmap->ResampleFast(5, 4, 24)},
      {"Rotate", bitmap->Rotate(0.25f)},          {"Allocate", bitmap->Allocate(100, 100, 24, 0)},
      {"CopyFrom", bitmap->CopyFrom(other.p)},    {"CopyRect", bitmap->CopyRect(other.p, 0, 0, 25, 15)},
      {"Load", bitmap->Load(Bstr(file), 24)},     {"LoadFromStream", bitmap->LoadFromStream(&persisted, 0)},
      {"Initialize", bitmap->Initialize(0)},
  };
  for (const auto& r : refused) EXPECT_EQ(E_ACCESSDENIED, r.hr) << r.name;
  HBITMAP handle = CreateBitmap(4, 4, 1, 32, nullptr);
  EXPECT_EQ(E_ACCESSDENIED, bitmap->AttachHandle(handle));
  DeleteObject(handle);
  RECT all{0, 0, 10, 8};
  HBRUSH brush = CreateSolidBrush(RGB(30, 60, 90));
  FillRect(dc, &all, brush);
  ASSERT_EQ(S_OK, bitmap->ReleaseDC(dc));
  Pixels p = Read(bitmap.p);
  EXPECT_EQ(10, p.width);
  EXPECT_EQ(RGB(30, 60, 90), p.At(9, 7));

  // Size change first: the device context that follows has the new size, and what is drawn on it comes back.
  ASSERT_EQ(S_OK, bitmap->Resample(40, 30, 24));
  ASSERT_EQ(S_OK, bitmap->GetDC(&dc));
  RECT corner{35, 25, 40, 30};
  FillRect(dc, &corner, brush);
  DeleteObject(brush);
  ASSERT_EQ(S_OK, bitmap->ReleaseDC(dc));
  p = Read(bitmap.p);
  EXPECT_EQ(40, p.width);
  EXPECT_EQ(RGB(30, 60, 90), p.At(39, 29));
  ASSERT_EQ(S_OK, bitmap->CopyFrom(other.p));
  EXPECT_EQ(30, Read(bitmap.p).width);
}

namespace {

// Inverts the pixels it is handed and notes each block of rows; a block holding a pixel of the colour
// failOn (blue, green, red) answers E_OUTOFMEMORY instead.
struct BlockRecordingCallback : zvkImage::IRenderIcmCallback {
  std::mutex lock;
  std::vector<std::pair<BYTE*, long>> blocks;  // first row, rows
  long stride = 0;
  int failOn[3] = {-1, -1, -1};
  HRESULT STDMETHODCALLTYPE SetupDC(HDC, IUnknown*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ConvertRows(BYTE* bits, long width, long height, long rowBytes) override {
    bool fail = false;
    for (long y = 0; y < height; ++y)
      for (long x = 0; x < width; ++x) {
        BYTE* p = bits + y * rowBytes + x * 3;
        fail = fail || (p[0] == failOn[0] && p[1] == failOn[1] && p[2] == failOn[2]);
        for (int c = 0; c < 3; ++c) p[c] = BYTE(255 - p[c]);
      }
    std::lock_guard<std::mutex> guard(lock);
    blocks.push_back({bits, height});
    stride = rowBytes;
    return fail ? E_OUTOFMEMORY : S_OK;
  }
};

}  // namespace

TEST(ImageDrawing, ManagedDrawConvertsEveryScaledRowOnceInBlocks) {
  // 600 x 400 painted pixels: enough for the draw to hand its rows over in several blocks.
  auto bitmap = MakeBitmap(300, 200, [](int x, int y) { return RGB(x % 256, y, (x + y) % 256); });
  Canvas canvas(600, 400, RGB(1, 2, 3));
  RECT target{0, 0, 600, 400};
  POINT origin{0, 0};
  BlockRecordingCallback callback;
  ASSERT_EQ(S_OK, bitmap->DrawManaged(canvas.dc, &target, &origin, SRCCOPY, &callback));
  // The blocks tile the painted rows: none missing, none converted twice.
  std::sort(callback.blocks.begin(), callback.blocks.end());
  ASSERT_GT(callback.blocks.size(), 1u);
  long rows = 0;
  for (size_t i = 0; i < callback.blocks.size(); ++i) {
    if (i > 0) {
      EXPECT_EQ(callback.blocks[i - 1].first + callback.blocks[i - 1].second * callback.stride,
                callback.blocks[i].first);
    }
    rows += callback.blocks[i].second;
  }
  EXPECT_EQ(400, rows);
  for (const POINT p : {POINT{0, 0}, POINT{599, 0}, POINT{301, 217}, POINT{599, 399}}) {
    const int x = p.x / 2, y = p.y / 2;
    EXPECT_EQ(RGB(255 - x % 256, 255 - y, 255 - (x + y) % 256), canvas.At(p.x, p.y)) << p.x << ", " << p.y;
  }
}

TEST(ImageDrawing, ManagedDrawPaintsNothingWhenABlockFailsToConvert) {
  // Only the bottom rows hold the colour the callback refuses: one late block fails, the others convert.
  auto bitmap = MakeBitmap(300, 200, [](int, int y) { return y < 195 ? RGB(10, 20, 30) : RGB(7, 8, 9); });
  Canvas canvas(600, 400, RGB(1, 2, 3));
  RECT target{0, 0, 600, 400};
  POINT origin{0, 0};
  BlockRecordingCallback callback;
  callback.failOn[0] = 9, callback.failOn[1] = 8, callback.failOn[2] = 7;
  EXPECT_EQ(E_OUTOFMEMORY, bitmap->DrawManaged(canvas.dc, &target, &origin, SRCCOPY, &callback));
  EXPECT_EQ(RGB(1, 2, 3), canvas.At(0, 0));
  EXPECT_EQ(RGB(1, 2, 3), canvas.At(599, 399));
}
