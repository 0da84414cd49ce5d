#include "GammaPictures.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace monwz {

namespace {

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void SolidEllipse(HDC dc, const RECT& rect, COLORREF colour) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int insetX = (width - 2 * width / 3) / 2;
  const int insetY = (height - 2 * height / 3) / 2;
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HBRUSH brush = CreateSolidBrush(colour);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  Ellipse(dc, rect.left + insetX, rect.top + insetY, rect.right - insetX, rect.bottom - insetY);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

bool DibOf(HBITMAP bitmap, DIBSECTION& dib) {
  return bitmap && GetObjectA(bitmap, sizeof(dib), &dib) == sizeof(dib) && dib.dsBm.bmBits &&
         dib.dsBm.bmBitsPixel == 24;
}

// The rows of a DIB section top first, whichever way it is stored.
BYTE* RowOf(const DIBSECTION& dib, int y) {
  BYTE* bits = static_cast<BYTE*>(dib.dsBm.bmBits);
  const int stride = DibStride(dib.dsBm.bmWidth);
  const bool bottomUp = dib.dsBmih.biHeight > 0;
  return bits + static_cast<size_t>(bottomUp ? dib.dsBm.bmHeight - 1 - y : y) * stride;
}

}  // namespace

void DrawTestSquare(HDC dc, const RECT& rect) {
  const int width = rect.right - rect.left;
  RECT left = rect;
  left.right = rect.left + width / 2;
  RECT right = rect;
  right.left = left.right;
  FillSolid(dc, left, RGB(0, 0, 0));
  FillSolid(dc, right, RGB(8, 8, 8));
  SolidEllipse(dc, rect, RGB(20, 20, 20));
}

int EllipseLevel(float gamma) {
  // An absurd gamma makes the power round to 1, and RGB() would wrap 256 to black.
  float level = 256.0f * std::pow(0.5f, 1.0f / gamma);
  if (!(level >= 0.0f)) return 0;
  return std::min(255, static_cast<int>(level));
}

int DibStride(int width) { return (width * 3 + 3) & ~3; }

HBITMAP MakeDibSection(int width, int height, BYTE** bits) {
  if (bits) *bits = nullptr;
  if (width <= 0 || height <= 0) return nullptr;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bits) *bits = static_cast<BYTE*>(pixels);
  return bitmap;
}

void DrawGammaPattern(HBITMAP pattern, int channel, float gamma) {
  DIBSECTION dib;
  if (!DibOf(pattern, dib)) return;
  GdiFlush();
  const int width = dib.dsBm.bmWidth;
  const int height = dib.dsBm.bmHeight;
  const int stride = DibStride(dib.dsBm.bmWidth);
  const int byteOfChannel = 2 - channel;  // pixels are stored blue, green, red
  BYTE* first = RowOf(dib, 0);
  std::memset(first, 0, stride);
  for (int x = 0; x < width; ++x) first[x * 3 + byteOfChannel] = 255;
  for (int y = 1; y < height; ++y) {
    if (y % 2 == 0)
      std::memcpy(RowOf(dib, y), first, stride);
    else
      std::memset(RowOf(dib, y), 0, stride);
  }
  const int level = EllipseLevel(gamma);
  const COLORREF colour = channel == 0   ? RGB(level, 0, 0)
                          : channel == 1 ? RGB(0, level, 0)
                                         : RGB(0, 0, level);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, pattern);
  RECT whole = {0, 0, width, height};
  SolidEllipse(dc, whole, colour);
  SelectObject(dc, old);
  DeleteDC(dc);
  GdiFlush();
}

void DrawRampPreview(HBITMAP ramp, const PreviewTables& tables) {
  DIBSECTION dib;
  if (!DibOf(ramp, dib)) return;
  GdiFlush();
  const int width = dib.dsBm.bmWidth;
  BYTE* first = RowOf(dib, 0);
  for (int x = 0; x < width; ++x) {
    int level = static_cast<int>(static_cast<double>(x) / width * 255 + 0.5);
    first[x * 3 + 0] = tables[2][level];
    first[x * 3 + 1] = tables[1][level];
    first[x * 3 + 2] = tables[0][level];
  }
  for (int y = 1; y < dib.dsBm.bmHeight; ++y) std::memcpy(RowOf(dib, y), first, DibStride(dib.dsBm.bmWidth));
}

void ApplyPreviewTables(HBITMAP photograph, const PreviewTables& tables) {
  DIBSECTION dib;
  if (!DibOf(photograph, dib)) return;
  GdiFlush();
  for (int y = 0; y < dib.dsBm.bmHeight; ++y) {
    BYTE* row = RowOf(dib, y);
    for (int x = 0; x < dib.dsBm.bmWidth; ++x) {
      row[x * 3 + 0] = tables[2][row[x * 3 + 0]];
      row[x * 3 + 1] = tables[1][row[x * 3 + 1]];
      row[x * 3 + 2] = tables[0][row[x * 3 + 2]];
    }
  }
}

}  // namespace monwz
