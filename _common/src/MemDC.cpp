#include "MemDC.h"

namespace zvk {

template <class T>
BOOL TMemDC<T>::Create(HDC targetDC, const RECT* area, bool copyBackground) {
  target = targetDC;
  memoryDC = target ? ::CreateCompatibleDC(target) : nullptr;
  HDC output = target;
  if (memoryDC && area) {
    rect = *area;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    halftone = ::GetDeviceCaps(target, BITSPIXEL) * ::GetDeviceCaps(target, PLANES) < 15;
    if (!halftone) {
      bitmap = ::CreateCompatibleBitmap(target, width, height);
    } else {
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
      info.bmiHeader.biWidth = width;
      info.bmiHeader.biHeight = height;
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 16;
      info.bmiHeader.biCompression = BI_RGB;
      info.bmiHeader.biXPelsPerMeter = ::MulDiv(::GetDeviceCaps(target, LOGPIXELSX), 10000, 254);
      info.bmiHeader.biYPelsPerMeter = ::MulDiv(::GetDeviceCaps(target, LOGPIXELSY), 10000, 254);
      void* bits = nullptr;
      bitmap = ::CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    if (bitmap) {
      if (halftone && (::GetDeviceCaps(target, RASTERCAPS) & RC_PALETTE))
        palette = ::CreateHalftonePalette(target);
      previousBitmap = ::SelectObject(memoryDC, bitmap);
      POINT origin{0, 0};
      ::GetWindowOrgEx(target, &origin);
      ::SetWindowOrgEx(memoryDC, rect.left + origin.x, rect.top + origin.y, nullptr);
      output = memoryDC;
    } else {
      ::DeleteDC(memoryDC);
      memoryDC = nullptr;
    }
  } else if (memoryDC) {
    ::DeleteDC(memoryDC);  // no area to cover: draw on the target
    memoryDC = nullptr;
  }
  BOOL attached = Attach(output);
  if (!attached) attached = Attach(target);
  if (copyBackground && memoryDC)
    return ::BitBlt(memoryDC, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, target,
                    rect.left, rect.top, SRCCOPY);
  return attached;
}

template <class T>
bool TMemDC<T>::Flush() {
  if (!memoryDC) return true;
  int previousMode = 0;
  HPALETTE previousPalette = nullptr;
  if (halftone) {
    previousMode = ::SetStretchBltMode(target, HALFTONE);
    if (palette) {
      previousPalette = ::SelectPalette(target, palette, TRUE);
      ::RealizePalette(target);
    }
  }
  BOOL copied = ::BitBlt(target, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                         memoryDC, rect.left, rect.top, SRCCOPY);
  if (halftone) {
    if (previousMode) ::SetStretchBltMode(target, previousMode);
    // The palette is deleted with this context: it must not stay selected in the target.
    if (previousPalette) ::SelectPalette(target, previousPalette, TRUE);
  }
  return copied != FALSE;
}

template <class T>
TMemDC<T>::~TMemDC() {
  Detach();
  if (memoryDC) {
    ::SetWindowOrgEx(memoryDC, 0, 0, nullptr);
    ::SelectObject(memoryDC, previousBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(memoryDC);
  }
  if (halftone && palette) ::DeleteObject(palette);
}

template class TMemDC<void>;

template <class T>
TBitmapDC<T>::~TBitmapDC() {
  // The context goes first: a bitmap still selected into it could not be deleted.
  DeleteDC();
  bitmap.DeleteObject();
}

template class TBitmapDC<void>;

}  // namespace zvk
