#include "Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "ParallelRows.h"

namespace zvkImage {
namespace {

constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;

// For each output index: the first source index and its integer weights (summing to kOne).
struct AxisWeights {
  std::vector<int> first;
  std::vector<int> count;
  std::vector<int> offset;  // into weights
  std::vector<int16_t> weights;
  int maxTaps = 0;
};

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

AxisWeights BuildAxis(int outCount, int srcCount, double scale, double offset, ResampleQuality quality) {
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

inline uint8_t Clamp8(int v) {
  v = (v + (1 << (kWeightBits - 1))) >> kWeightBits;
  return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Horizontal pass of one row with `channels` interleaved channels.
template <int channels>
void HorizontalRow(const uint8_t* src, uint8_t* dst, const AxisWeights& ax, int outWidth) {
  for (int X = 0; X < outWidth; ++X) {
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

PixelImage Resampler::Region(const PixelImage& source, int outWidth, int outHeight, double scaleX,
                             double offsetX, double scaleY, double offsetY, ResampleQuality quality) {
  PixelImage out;
  out.Allocate(outWidth, outHeight, false);
  out.dpiX = source.dpiX;
  out.dpiY = source.dpiY;
  const bool alpha = source.HasAlpha();
  if (alpha) out.AddAlpha(255);
  if (out.Empty() || source.Empty()) return out;
  const AxisWeights ax = BuildAxis(outWidth, source.Width(), scaleX, offsetX, quality);
  const AxisWeights ay = BuildAxis(outHeight, source.Height(), scaleY, offsetY, quality);
  // Source rows that the output needs.
  const int y0 = ay.first.front();
  int y1 = 0;
  for (int Y = 0; Y < outHeight; ++Y) y1 = std::max(y1, ay.first[Y] + ay.count[Y]);
  y1 = std::max(y1, y0 + 1);
  const size_t midStride = size_t(outWidth) * 3;
  std::vector<uint8_t> mid(midStride * size_t(y1 - y0));
  std::vector<uint8_t> midAlpha(alpha ? size_t(outWidth) * size_t(y1 - y0) : 0);
  const bool identityX = outWidth == source.Width() && scaleX == 1.0 && offsetX == 0.0;
  ParallelRows(y1 - y0, 16, [&](int r0, int r1) {
    for (int r = r0; r < r1; ++r) {
      const int y = y0 + r;
      if (identityX)
        std::memcpy(&mid[size_t(r) * midStride], source.Row(y), midStride);
      else
        HorizontalRow<3>(source.Row(y), &mid[size_t(r) * midStride], ax, outWidth);
      if (alpha) HorizontalRow<1>(source.AlphaRow(y), &midAlpha[size_t(r) * outWidth], ax, outWidth);
    }
  });
  ParallelRows(outHeight, 16, [&](int Y0, int Y1) {
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
