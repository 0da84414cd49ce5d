// Off-screen drawing contexts: drawing lands on the bitmap in the target's coordinates and reaches
// the target only through Flush.
#include "MemDC.h"

#include <gtest/gtest.h>

namespace {

// A 32-bit target of 100 x 100 white pixels.
struct Target {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  uint32_t* pixels = nullptr;
  Target() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 100;
    info.bmiHeader.biHeight = -100;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0);
    previous = ::SelectObject(dc, bitmap);
    for (int i = 0; i < 100 * 100; ++i) pixels[i] = 0x00FFFFFF;
  }
  ~Target() {
    ::SelectObject(dc, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
  }
  uint32_t At(int x, int y) {
    ::GdiFlush();
    return pixels[y * 100 + x] & 0x00FFFFFF;
  }
};

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  RECT r{left, top, right, bottom};
  HBRUSH brush = ::CreateSolidBrush(colour);
  ::FillRect(dc, &r, brush);
  ::DeleteObject(brush);
}

}  // namespace

TEST(OffScreenDrawing, DrawsInTargetCoordinatesAndCopiesOnFlush) {
  Target target;
  Fill(target.dc, 50, 40, 60, 50, RGB(0, 0, 255));  // background the memory context copies
  RECT area{10, 20, 60, 50};
  {
    zvk::MemDC mem;
    ASSERT_TRUE(mem.Create(target.dc, &area, true));
    ASSERT_TRUE(mem.HasMemoryDC());
    EXPECT_FALSE(mem.IsHalftone());
    EXPECT_NE(mem.GetSafeHdc(), target.dc);
    Fill(mem.GetSafeHdc(), 10, 20, 30, 30, RGB(255, 0, 0));
    EXPECT_EQ(target.At(15, 25), 0x00FFFFFFu);  // nothing on the target yet
    ASSERT_TRUE(mem.Flush());
  }
  EXPECT_EQ(target.At(15, 25), 0x00FF0000u);  // red, as 0x00RRGGBB
  EXPECT_EQ(target.At(10, 20), 0x00FF0000u);
  EXPECT_EQ(target.At(9, 20), 0x00FFFFFFu);   // outside the area
  EXPECT_EQ(target.At(55, 45), 0x000000FFu);  // the copied background came back unchanged
  EXPECT_EQ(target.At(40, 40), 0x00FFFFFFu);
}

TEST(OffScreenDrawing, WithoutABitmapDrawingGoesStraightToTheTarget) {
  Target target;
  zvk::MemDC mem;
  EXPECT_TRUE(mem.Create(target.dc, nullptr, false));
  EXPECT_FALSE(mem.HasMemoryDC());
  EXPECT_EQ(mem.GetSafeHdc(), target.dc);
  Fill(mem.GetSafeHdc(), 0, 0, 5, 5, RGB(0, 255, 0));
  EXPECT_EQ(target.At(2, 2), 0x0000FF00u);
  EXPECT_TRUE(mem.Flush());  // nothing to copy
}

TEST(OffScreenDrawing, BitmapContextFreesItsContextAndBitmap) {
  HBITMAP made = nullptr;
  HDC dc = nullptr;
  {
    zvk::BitmapDC bitmapDC;
    dc = ::CreateCompatibleDC(nullptr);
    ASSERT_TRUE(bitmapDC.Attach(dc));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 8;
    info.bmiHeader.biHeight = 8;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    made = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(bitmapDC.bitmap.Attach(made));
    ::SelectObject(dc, made);  // still selected when the context ends
  }
  EXPECT_EQ(::GetObjectType(made), 0u);
  EXPECT_EQ(::GetObjectType(dc), 0u);
}
