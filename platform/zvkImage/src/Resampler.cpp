#include "Resampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "ParallelRows.h"
#include "ResampleAxis.h"

namespace zvkImage {
namespace {

constexpr int kOne = 1 << kWeightBits;

double Cubic(double x) {  // Catmull-Rom
  x = std::fabs(x);
  if (x < 1.0) return (1.5 * x - 2.5) * x * x + 1.0;
  if (x < 2.0) return ((-0.5 * x + 2.5) * x - 4.0) * x + 2.0;
  return 0.0;
}

double Linear(double x) {
  x = std::fabs(x);
  return x < 1.0 ? 1.0 - x : 0.0;
}

inline uint8_t Clamp8(int v) {
  v = (v + (1 << (kWeightBits - 1))) >> kWeightBits;
  return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// taps source pixels per output, from start[X] on, with taps weights per output.
template <int taps, int channels>
void UnrolledRow(const uint8_t* src, uint8_t* dst, const int* start, const int16_t* w, int outCount) {
  for (int X = 0; X < outCount; ++X, w += taps, dst += channels) {
    const uint8_t* s = src + size_t(start[X]) * channels;
    int acc[channels] = {};
    for (int k = 0; k < taps; ++k)
      for (int c = 0; c < channels; ++c) acc[c] += w[k] * s[k * channels + c];
    for (int c = 0; c < channels; ++c) dst[c] = Clamp8(acc[c]);
  }
}

using RowFunction = void (*)(const uint8_t*, uint8_t*, const int*, const int16_t*, int);

template <int channels, size_t... taps>
constexpr std::array<RowFunction, sizeof...(taps)> UnrolledRows(std::index_sequence<taps...>) {
  return {&UnrolledRow<int(taps) + 1, channels>...};
}

constexpr auto kRows1 = UnrolledRows<1>(std::make_index_sequence<HorizontalPass::kMaxUnrolledTaps>());
constexpr auto kRows3 = UnrolledRows<3>(std::make_index_sequence<HorizontalPass::kMaxUnrolledTaps>());

template <int channels>
void GeneralRowOf(const AxisWeights& ax, const uint8_t* src, uint8_t* dst) {
  const int outCount = int(ax.first.size());
  for (int X = 0; X < outCount; ++X) {
    const uint8_t* s = src + size_t(ax.first[X]) * channels;
    const int16_t* w = ax.weights.data() + ax.offset[X];
    int acc[channels] = {};
    for (int k = 0, n = ax.count[X]; k < n; ++k, s += channels)
      for (int c = 0; c < channels; ++c) acc[c] += w[k] * s[c];
    for (int c = 0; c < channels; ++c) dst[c] = Clamp8(acc[c]);
    dst += channels;
  }
}

// Vertical pass of one output row: bytes columns from the rows listed.
void VerticalRow(const uint8_t* const* rows, const int16_t* w, int taps, uint8_t* dst, int bytes, int* acc) {
  std::fill(acc, acc + bytes, 0);
  for (int k = 0; k < taps; ++k) {
    const uint8_t* r = rows[k];
    const int wk = w[k];
    for (int i = 0; i < bytes; ++i) acc[i] += wk * r[i];
  }
  for (int i = 0; i < bytes; ++i) dst[i] = Clamp8(acc[i]);
}

}  // namespace

AxisWeights AxisWeights::Build(int outCount, int srcCount, double scale, double offset,
                               ResampleQuality quality) {
  AxisWeights axis;
  axis.first.resize(outCount);
  axis.count.resize(outCount);
  axis.offset.resize(outCount);
  const bool area = scale > (quality == ResampleQuality::Good ? 2.0 : 1.0);
  const bool cubic = !area && quality == ResampleQuality::Good;
  const double stretch = std::max(1.0, scale);  // kernel widening when reducing
  const double support = area ? scale * 0.5 : (cubic ? 2.0 : 1.0) * stretch;
  std::vector<double> w;
  for (int X = 0; X < outCount; ++X) {
    const double centre = (X + 0.5) * scale + offset;
    int lo = int(std::floor(centre - support - 0.5));
    int hi = int(std::ceil(centre + support - 0.5));
    w.clear();
    double sum = 0;
    for (int i = lo; i <= hi; ++i) {
      double weight;
      if (area) {  // overlap of the pixel [i, i+1) with the box around the centre
        const double a = std::max<double>(i, centre - support), b = std::min<double>(i + 1, centre + support);
        weight = b > a ? b - a : 0.0;
      } else {
        const double d = (i + 0.5 - centre) / stretch;
        weight = cubic ? Cubic(d) : Linear(d);
      }
      w.push_back(weight);
      sum += weight;
    }
    // Fold taps beyond the edges onto the edge pixels.
    std::vector<double> folded;
    const int first = std::clamp(lo, 0, srcCount - 1), last = std::clamp(hi, 0, srcCount - 1);
    folded.assign(size_t(last - first + 1), 0.0);
    for (int i = lo; i <= hi; ++i)
      folded[size_t(std::clamp(i, 0, srcCount - 1) - first)] += w[size_t(i - lo)];
    // Trim zero taps at both ends.
    int b = 0, e = int(folded.size());
    while (b < e - 1 && folded[size_t(b)] == 0.0) ++b;
    while (e > b + 1 && folded[size_t(e - 1)] == 0.0) --e;
    axis.first[X] = first + b;
    axis.count[X] = e - b;
    axis.offset[X] = int(axis.weights.size());
    int total = 0, biggest = b;
    for (int k = b; k < e; ++k) {
      const int q = sum != 0.0 ? int(std::lround(folded[size_t(k)] / sum * kOne)) : (k == b ? kOne : 0);
      axis.weights.push_back(int16_t(q));
      total += q;
      if (folded[size_t(k)] > folded[size_t(biggest)]) biggest = k;
    }
    axis.weights[size_t(axis.offset[X] + biggest - b)] += int16_t(kOne - total);  // exact unity gain
    axis.maxTaps = std::max(axis.maxTaps, e - b);
  }
  return axis;
}

HorizontalPass::HorizontalPass(const AxisWeights& axis, int srcCount) : axis_(axis) {
  const int taps = axis.maxTaps;
  if (taps < 1 || taps > kMaxUnrolledTaps || taps > srcCount) return;
  taps_ = taps;
  const size_t outCount = axis.first.size();
  start_.resize(outCount);
  weights_.assign(outCount * size_t(taps), 0);
  for (size_t X = 0; X < outCount; ++X) {
    // Near the right edge the window starts earlier, with zero weights before the output's own taps.
    const int start = std::min(axis.first[X], srcCount - taps);
    start_[X] = start;
    const int16_t* w = axis.weights.data() + axis.offset[X];
    std::copy(w, w + axis.count[X],
              weights_.begin() + ptrdiff_t(X * size_t(taps) + size_t(axis.first[X] - start)));
  }
}

void HorizontalPass::Row(int channels, const uint8_t* src, uint8_t* dst) const {
  if (taps_ == 0) return GeneralRow(channels, axis_, src, dst);
  const RowFunction row = (channels == 3 ? kRows3 : kRows1)[size_t(taps_ - 1)];
  row(src, dst, start_.data(), weights_.data(), int(start_.size()));
}

void HorizontalPass::GeneralRow(int channels, const AxisWeights& axis, const uint8_t* src, uint8_t* dst) {
  if (channels == 3)
    GeneralRowOf<3>(axis, src, dst);
  else
    GeneralRowOf<1>(axis, src, dst);
}

PixelImage Resampler::Region(const PixelImage& source, int outWidth, int outHeight, double scaleX,
                             double offsetX, double scaleY, double offsetY, ResampleQuality quality) {
  PixelImage out;
  out.Allocate(outWidth, outHeight, false);
  out.dpiX = source.dpiX;
  out.dpiY = source.dpiY;
  const bool alpha = source.HasAlpha();
  if (out.Empty() || source.Empty()) {
    if (!out.Empty()) out.Allocate(outWidth, outHeight, true);
    if (alpha) out.AddAlpha(255);
    return out;
  }
  if (alpha) out.AddAlphaPlane();  // the vertical pass writes every byte
  const AxisWeights ax = AxisWeights::Build(outWidth, source.Width(), scaleX, offsetX, quality);
  const AxisWeights ay = AxisWeights::Build(outHeight, source.Height(), scaleY, offsetY, quality);
  const HorizontalPass horizontal(ax, source.Width());
  // Source rows that the output needs.
  const int y0 = ay.first.front();
  int y1 = 0;
  for (int Y = 0; Y < outHeight; ++Y) y1 = std::max(y1, ay.first[Y] + ay.count[Y]);
  y1 = std::max(y1, y0 + 1);
  const size_t midStride = size_t(outWidth) * 3;
  // Intermediate rows, each written whole by the horizontal pass before the vertical one reads it.
  const PlaneRecycler::Plane midPlane = PlaneRecycler::Take(midStride * size_t(y1 - y0));
  const PlaneRecycler::Plane midAlphaPlane =
      alpha ? PlaneRecycler::Take(size_t(outWidth) * size_t(y1 - y0)) : PlaneRecycler::Plane();
  uint8_t* const mid = midPlane.get();
  uint8_t* const midAlpha = midAlphaPlane.get();
  const bool identityX = outWidth == source.Width() && scaleX == 1.0 && offsetX == 0.0;
  // The horizontal pass reads each source row across its width; the vertical one makes output pixels.
  ParallelPixelRows(y1 - y0, identityX ? outWidth : std::max(source.Width(), outWidth), [&](int r0, int r1) {
    for (int r = r0; r < r1; ++r) {
      const int y = y0 + r;
      if (identityX)
        std::memcpy(&mid[size_t(r) * midStride], source.Row(y), midStride);
      else
        horizontal.Row(3, source.Row(y), &mid[size_t(r) * midStride]);
      if (alpha) {
        if (identityX)
          std::memcpy(&midAlpha[size_t(r) * outWidth], source.AlphaRow(y), size_t(outWidth));
        else
          horizontal.Row(1, source.AlphaRow(y), &midAlpha[size_t(r) * outWidth]);
      }
    }
  });
  ParallelPixelRows(outHeight, int64_t(outWidth) * std::max(1, ay.maxTaps / 2), [&](int Y0, int Y1) {
    std::vector<const uint8_t*> rows(size_t(ay.maxTaps));
    std::vector<int> acc(midStride);
    for (int Y = Y0; Y < Y1; ++Y) {
      const int taps = ay.count[Y];
      const int16_t* w = ay.weights.data() + ay.offset[Y];
      for (int k = 0; k < taps; ++k) rows[size_t(k)] = &mid[size_t(ay.first[Y] + k - y0) * midStride];
      VerticalRow(rows.data(), w, taps, out.Row(Y), int(midStride), acc.data());
      if (alpha) {
        for (int k = 0; k < taps; ++k) rows[size_t(k)] = &midAlpha[size_t(ay.first[Y] + k - y0) * outWidth];
        VerticalRow(rows.data(), w, taps, out.AlphaRow(Y), outWidth, acc.data());
      }
    }
  });
  return out;
}

PixelImage Resampler::Whole(const PixelImage& source, int width, int height, ResampleQuality quality) {
  const double sx = width > 0 ? double(source.Width()) / width : 1.0;
  const double sy = height > 0 ? double(source.Height()) / height : 1.0;
  return Region(source, width, height, sx, 0.0, sy, 0.0, quality);
}

}  // namespace zvkImage
