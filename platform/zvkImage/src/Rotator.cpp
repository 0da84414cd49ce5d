#include "Rotator.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "ParallelRows.h"

namespace zvkImage {
namespace {

constexpr double kPi = 3.14159265358979323846;

PixelImage FineTurn(const PixelImage& src, double turns) {
  const double angle = turns * 2.0 * kPi;
  const double c = std::cos(angle), s = std::sin(angle);
  const int w = src.Width(), h = src.Height();
  const double ow = std::fabs(w * c) + std::fabs(h * s), oh = std::fabs(w * s) + std::fabs(h * c);
  const int outW = std::max(1, int(std::ceil(ow - 1e-6))), outH = std::max(1, int(std::ceil(oh - 1e-6)));
  PixelImage out;
  out.Allocate(outW, outH, false);
  out.dpiX = src.dpiX;
  out.dpiY = src.dpiY;
  const bool alpha = src.HasAlpha();
  if (alpha) out.AddAlpha(0);
  // Output pixel centre (X + 0.5, Y + 0.5) maps back by the inverse (clockwise on the screen, where y runs
  // down) turn about the centres.
  const double cxo = outW * 0.5, cyo = outH * 0.5, cxs = w * 0.5, cys = h * 0.5;
  constexpr int kBits = 16;
  constexpr int64_t kOne = int64_t(1) << kBits;
  ParallelRows(outH, 8, [&](int Y0, int Y1) {
    for (int Y = Y0; Y < Y1; ++Y) {
      uint8_t* d = out.Row(Y);
      uint8_t* da = alpha ? out.AlphaRow(Y) : nullptr;
      const double dy = Y + 0.5 - cyo;
      // Source position of X = 0, minus half a pixel so that integer parts index pixels.
      double u0 = (0.5 - cxo) * c - dy * s + cxs - 0.5;
      double v0 = (0.5 - cxo) * s + dy * c + cys - 0.5;
      int64_t u = int64_t(std::llround(u0 * kOne)), v = int64_t(std::llround(v0 * kOne));
      const int64_t du = int64_t(std::llround(c * kOne)), dv = int64_t(std::llround(s * kOne));
      for (int X = 0; X < outW; ++X, u += du, v += dv, d += 3) {
        const int64_t ui = u >> kBits, vi = v >> kBits;
        if (ui < -1 || vi < -1 || ui >= w || vi >= h) {
          d[0] = d[1] = d[2] = 255;
          if (da) da[X] = 0;
          continue;
        }
        const int fu = int((u & (kOne - 1)) >> 8), fv = int((v & (kOne - 1)) >> 8);  // 8-bit fractions
        const int wts[4] = {(256 - fu) * (256 - fv), fu * (256 - fv), (256 - fu) * fv, fu * fv};
        int acc[3] = {0, 0, 0}, cover = 0, accA = 0;
        for (int k = 0; k < 4; ++k) {
          const int64_t x = ui + (k & 1), y = vi + (k >> 1);
          if (x < 0 || y < 0 || x >= w || y >= h || wts[k] == 0) continue;
          const uint8_t* p = src.Row(int(y)) + size_t(x) * 3;
          acc[0] += wts[k] * p[0];
          acc[1] += wts[k] * p[1];
          acc[2] += wts[k] * p[2];
          accA += wts[k] * (alpha ? src.AlphaRow(int(y))[x] : 255);
          cover += wts[k];
        }
        // Blend the uncovered share with white (and with transparency when there is alpha).
        const int rest = 65536 - cover;
        for (int ch = 0; ch < 3; ++ch) d[ch] = uint8_t((acc[ch] + rest * 255 + 32768) >> 16);
        if (da) da[X] = uint8_t((accA + 32768) >> 16);
      }
    }
  });
  return out;
}

// A plane to turn and the plane it turns into (rows of `bytes`-sized pixels).
struct Plane {
  const uint8_t* src = nullptr;
  ptrdiff_t srcStride = 0;
  uint8_t* dst = nullptr;
  ptrdiff_t dstStride = 0;
};

// Quarter turns run through tiles about the size of the cache, so that the column-wise side of the copy
// keeps reusing the same lines.
constexpr int kTile = 64;

// Output rows [Y0, Y1) of Quarters counter-clockwise quarter turns of a w x h plane. Output (X, Y) takes
// source (w-1-Y, X) for one quarter, (w-1-X, h-1-Y) for two and (Y, h-1-X) for three; along an output row
// the source pointer moves by a fixed step, so the inner loop is a plain strided copy.
template <int Quarters, int Bytes>
void TurnTiles(const Plane& p, int w, int h, int Y0, int Y1) {
  const int outW = Quarters == 2 ? w : h;
  const ptrdiff_t step = Quarters == 1 ? p.srcStride : (Quarters == 2 ? -Bytes : -p.srcStride);
  for (int ty = Y0; ty < Y1; ty += kTile) {
    const int tyEnd = std::min(Y1, ty + kTile);
    for (int tx = 0; tx < outW; tx += kTile) {
      const int n = std::min(outW, tx + kTile) - tx;
      for (int Y = ty; Y < tyEnd; ++Y) {
        int sx, sy;
        if constexpr (Quarters == 1) {
          sx = w - 1 - Y, sy = tx;
        } else if constexpr (Quarters == 2) {
          sx = w - 1 - tx, sy = h - 1 - Y;
        } else {
          sx = Y, sy = h - 1 - tx;
        }
        const uint8_t* s = p.src + sy * p.srcStride + ptrdiff_t(sx) * Bytes;
        uint8_t* d = p.dst + ptrdiff_t(Y) * p.dstStride + ptrdiff_t(tx) * Bytes;
        for (int i = 0; i < n; ++i, s += step, d += Bytes) {
          if constexpr (Bytes == 3) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
          } else {
            d[0] = s[0];
          }
        }
      }
    }
  }
}

}  // namespace

PixelImage Rotator::QuarterTurns(const PixelImage& src, int quarters) {
  quarters &= 3;
  if (quarters == 0) return src.Clone();
  const int w = src.Width(), h = src.Height();
  const bool swap = quarters != 2;
  PixelImage out;
  out.Allocate(swap ? h : w, swap ? w : h, false);
  out.dpiX = swap ? src.dpiY : src.dpiX;
  out.dpiY = swap ? src.dpiX : src.dpiY;
  const bool alpha = src.HasAlpha();
  if (alpha) out.AddAlpha(0);
  const Plane colour{src.Bits(), ptrdiff_t(src.Stride()), out.Bits(), ptrdiff_t(out.Stride())};
  const Plane opacity =
      alpha ? Plane{src.AlphaRow(0), ptrdiff_t(w), out.AlphaRow(0), ptrdiff_t(out.Width())} : Plane{};
  ParallelRows(out.Height(), kTile, [&](int Y0, int Y1) {
    switch (quarters) {
      case 1:
        TurnTiles<1, 3>(colour, w, h, Y0, Y1);
        if (alpha) TurnTiles<1, 1>(opacity, w, h, Y0, Y1);
        break;
      case 2:
        TurnTiles<2, 3>(colour, w, h, Y0, Y1);
        if (alpha) TurnTiles<2, 1>(opacity, w, h, Y0, Y1);
        break;
      default:
        TurnTiles<3, 3>(colour, w, h, Y0, Y1);
        if (alpha) TurnTiles<3, 1>(opacity, w, h, Y0, Y1);
        break;
    }
  });
  return out;
}

PixelImage Rotator::Turn(const PixelImage& source, double turns) {
  turns -= std::floor(turns);  // 0 <= turns < 1
  const int quarters = int(std::lround(turns * 4.0)) & 3;
  double rest = turns - std::lround(turns * 4.0) * 0.25;
  if (std::fabs(rest) < 1e-7 || source.Empty()) return QuarterTurns(source, quarters);
  if (quarters == 0) return FineTurn(source, rest);
  return FineTurn(QuarterTurns(source, quarters), rest);
}

}  // namespace zvkImage
