#include "PictureDraw.h"

#include "IcmDraw.h"

// Pictures are in the job's colour space; the display layer converts them to the screen's (or leaves
// them as they are when colour management is off or both sides are the same).
void DrawPicture(HDC dc, zvkImage::IBitmap* bitmap, const RECT& target) {
  if (bitmap == nullptr || target.right <= target.left || target.bottom <= target.top) return;
  const POINT origin = {0, 0};
  zvk::IcmDisplay display(dc);
  CheckBitmapCall(display.DrawFromSource(1, bitmap, target, origin, SRCCOPY), bitmap);
}
