#include "PictureDraw.h"

void DrawPicture(HDC dc, zvkImage::IBitmap* bitmap, const RECT& target) {
  if (bitmap == nullptr || target.right <= target.left || target.bottom <= target.top) return;
  const POINT origin = {0, 0};
  CheckBitmapCall(bitmap->Draw(dc, &target, &origin, SRCCOPY), bitmap);
}
