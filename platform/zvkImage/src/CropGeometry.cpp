// The crop geometry shared by the picture object and the program's cropping, so that both cut the same
// rectangle out of the same picture.
#include <zvkImage/RenderFrame.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zvkImage {

RECT FitRatio(const RECT& into, long w, long h) {
  if (w == 0 || h == 0) return into;
  const long width = into.right - into.left, height = into.bottom - into.top;
  // Single precision and rounding of the placement helpers elsewhere in the program, so that a box fitted
  // here and one fitted there agree to the pixel.
  const float sx = float(width) / float(w), sy = float(height) / float(h);
  const float scale = sx < sy ? sx : sy;
  const long fw = long(float(w) * scale + 0.5f), fh = long(float(h) * scale + 0.5f);
  const long dx = width - fw, dy = height - fh;
  RECT r;
  r.left = into.left + dx - dx / 2;
  r.top = into.top + dy - dy / 2;
  r.right = r.left + fw;
  r.bottom = r.top + fh;
  return r;
}

bool CropRectangles(long width, long height, const CropGeometry& crop, RECT& r, RECT& d) {
  if (width <= 0 || height <= 0) return false;
  r = {0, 0, width, height};
  const long mx = long(std::trunc(double(width) * crop.x)), my = long(std::trunc(double(height) * crop.y));
  r.left += mx, r.right += mx, r.top += my, r.bottom += my;
  const long ix = long(std::trunc((1.0 - crop.zoom) * double(r.left - r.right) * 0.5));
  const long iy = long(std::trunc((1.0 - crop.zoom) * double(r.top - r.bottom) * 0.5));
  r.left -= ix, r.right += ix, r.top -= iy, r.bottom += iy;
  const int64_t cw = int64_t(r.right) - r.left, ch = int64_t(r.bottom) - r.top;
  if (cw <= 0 || ch <= 0) return false;
  // 64 bits: a large picture times a large offset overflows 32.
  const int64_t w = width, h = height;
  d.left = long(-(int64_t(r.left) * w / cw));
  d.right = long((w - r.left) * w / cw);
  d.top = long(-(int64_t(r.top) * h / ch));
  d.bottom = long((h - r.top) * h / ch);
  return true;
}

bool CropCut(long width, long height, const CropGeometry& crop, RECT& cut) {
  RECT r;
  if (!CropRectangles(width, height, crop, r, cut)) return false;
  if (crop.fixedRatio) {
    const bool landscape = width > height;
    const uint32_t large = std::max(crop.ratioWidth, crop.ratioHeight);
    const uint32_t small = std::min(crop.ratioWidth, crop.ratioHeight);
    cut = landscape ? FitRatio(cut, long(large), long(small)) : FitRatio(cut, long(small), long(large));
  }
  return cut.right > cut.left && cut.bottom > cut.top;
}

SIZE CutSize(long cutWidth, long cutHeight, long width, long height) {
  const double cut = double(cutWidth) * double(cutHeight), source = double(width) * double(height);
  if (cut <= source || cut <= 0.0) return {cutWidth, cutHeight};
  const double s = std::sqrt(source / cut);
  return {std::max(1L, long(std::lround(cutWidth * s))), std::max(1L, long(std::lround(cutHeight * s)))};
}

}  // namespace zvkImage
