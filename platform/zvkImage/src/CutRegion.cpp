#include "CutRegion.h"

#include <zvkImage/RenderFrame.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Resampler.h"

namespace zvkImage {
namespace {

// The first output index whose sample centre lies at or beyond the source position edge.
long FirstAtOrBeyond(double edge, double origin, double step, long count) {
  const double index = std::ceil((edge - origin) / step - 0.5);
  return std::clamp(long(index), 0L, count);
}

}  // namespace

PixelImage CutRegion(const PixelImage& source, const RECT& cut, COLORREF fill) {
  const long cw = cut.right - cut.left, ch = cut.bottom - cut.top;
  const SIZE size = CutSize(cw, ch, source.Width(), source.Height());
  PixelImage out;
  out.Allocate(int(size.cx), int(size.cy), false);
  out.dpiX = source.dpiX;
  out.dpiY = source.dpiY;
  if (source.HasAlpha()) out.AddAlphaPlane();
  const double sx = double(cw) / double(size.cx), sy = double(ch) / double(size.cy);
  // Output pixels whose centres fall on the source; the rest takes the fill.
  const long x0 = FirstAtOrBeyond(0.0, double(cut.left), sx, size.cx);
  const long x1 = std::max(x0, FirstAtOrBeyond(double(source.Width()), double(cut.left), sx, size.cx));
  const long y0 = FirstAtOrBeyond(0.0, double(cut.top), sy, size.cy);
  const long y1 = std::max(y0, FirstAtOrBeyond(double(source.Height()), double(cut.top), sy, size.cy));
  const uint8_t fb = GetBValue(fill), fg = GetGValue(fill), fr = GetRValue(fill);
  const auto fillSpan = [&](int y, long from, long to) {
    uint8_t* d = out.Row(y) + size_t(from) * 3;
    for (long x = from; x < to; ++x, d += 3) d[0] = fb, d[1] = fg, d[2] = fr;
    if (out.HasAlpha() && to > from) std::memset(out.AlphaRow(y) + from, 255, size_t(to - from));
  };
  for (int y = 0; y < out.Height(); ++y) {
    const size_t used = size_t(out.Width()) * 3;
    if (out.Stride() != used) std::memset(out.Row(y) + used, 0, out.Stride() - used);
    if (y < y0 || y >= y1) {
      fillSpan(y, 0, out.Width());
    } else {
      fillSpan(y, 0, x0);
      fillSpan(y, x1, out.Width());
    }
  }
  if (x1 > x0 && y1 > y0) {
    const PixelImage part =
        Resampler::Region(source, int(x1 - x0), int(y1 - y0), sx, double(cut.left) + x0 * sx, sy,
                          double(cut.top) + y0 * sy, ResampleQuality::Good);
    for (long y = y0; y < y1; ++y) {
      std::memcpy(out.Row(int(y)) + size_t(x0) * 3, part.Row(int(y - y0)), size_t(x1 - x0) * 3);
      if (out.HasAlpha()) std::memcpy(out.AlphaRow(int(y)) + x0, part.AlphaRow(int(y - y0)), size_t(x1 - x0));
    }
  }
  return out;
}

}  // namespace zvkImage
