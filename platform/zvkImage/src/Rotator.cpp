#include "Rotator.h"

#include <cmath>
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
  // Output pixel centre (X + 0.5, Y + 0.5) maps back by the inverse (counter-clockwise) turn about the
  // centres.
  const double cxo = outW * 0.5, cyo = outH * 0.5, cxs = w * 0.5, cys = h * 0.5;
  constexpr int kBits = 16;
  constexpr int64_t kOne = int64_t(1) << kBits;
  ParallelRows(outH, 8, [&](int Y0, int Y1) {
    for (int Y = Y0; Y < Y1; ++Y) {
      uint8_t* d = out.Row(Y);
      uint8_t* da = alpha ? out.AlphaRow(Y) : nullptr;
      const double dy = Y + 0.5 - cyo;
      // Source position of X = 0, minus half a pixel so that integer parts index pixels.
      double u0 = (0.5 - cxo) * c + dy * s + cxs - 0.5;
      double v0 = -(0.5 - cxo) * s + dy * c + cys - 0.5;
      int64_t u = int64_t(std::llround(u0 * kOne)), v = int64_t(std::llround(v0 * kOne));
      const int64_t du = int64_t(std::llround(c * kOne)), dv = int64_t(std::llround(-s * kOne));
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
  const int ow = out.Width();
  // Output (X, Y) takes source: 1 quarter clockwise (Y, h-1-X); 2: (w-1-X, h-1-Y); 3: (w-1-Y, X).
  ParallelRows(out.Height(), 32, [&](int Y0, int Y1) {
    for (int Y = Y0; Y < Y1; ++Y) {
      uint8_t* d = out.Row(Y);
      uint8_t* da = alpha ? out.AlphaRow(Y) : nullptr;
      for (int X = 0; X < ow; ++X) {
        int sx, sy;
        if (quarters == 1) {
          sx = Y;
          sy = h - 1 - X;
        } else if (quarters == 2) {
          sx = w - 1 - X;
          sy = h - 1 - Y;
        } else {
          sx = w - 1 - Y;
          sy = X;
        }
        const uint8_t* p = src.Row(sy) + size_t(sx) * 3;
        d[3 * X] = p[0];
        d[3 * X + 1] = p[1];
        d[3 * X + 2] = p[2];
        if (da) da[X] = src.AlphaRow(sy)[sx];
      }
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
