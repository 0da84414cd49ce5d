#include "PlaneFilters.h"

#include <algorithm>
#include <cmath>

namespace keybench {

namespace {

constexpr float kFar = 1e20f;

// One pass of the lower-envelope distance transform: out[q] = min over p of (q - p)^2 + f[p].
void Envelope1D(const float* f, int n, float* out, std::vector<int>& v, std::vector<float>& z) {
  v.resize(n);
  z.resize(n + 1);
  int k = 0;
  v[0] = 0;
  z[0] = -kFar;
  z[1] = kFar;
  for (int q = 1; q < n; ++q) {
    const float fq = f[q] + static_cast<float>(q) * q;
    float s = (fq - (f[v[k]] + static_cast<float>(v[k]) * v[k])) / (2.0f * (q - v[k]));
    // z[0] is below any reachable intersection, so k never drops under 0.
    while (s <= z[k]) {
      --k;
      s = (fq - (f[v[k]] + static_cast<float>(v[k]) * v[k])) / (2.0f * (q - v[k]));
    }
    ++k;
    v[k] = q;
    z[k] = s;
    z[k + 1] = kFar;
  }
  k = 0;
  for (int q = 0; q < n; ++q) {
    while (z[k + 1] < q) ++k;
    const float d = static_cast<float>(q - v[k]);
    out[q] = d * d + f[v[k]];
  }
}

}  // namespace

FloatImage PlaneFilters::Separable(const FloatImage& plane, const std::vector<float>& kernelX,
                                   const std::vector<float>& kernelY) {
  const int w = plane.Width(), h = plane.Height();
  const int rx = static_cast<int>(kernelX.size() / 2), ry = static_cast<int>(kernelY.size() / 2);
  FloatImage across(w, h, 1);
  std::vector<float> padded(static_cast<size_t>(w) + 2 * rx);
  for (int y = 0; y < h; ++y) {
    const float* in = plane.Row(y);
    for (int i = 0; i < static_cast<int>(padded.size()); ++i) padded[i] = in[std::clamp(i - rx, 0, w - 1)];
    float* out = across.Row(y);
    for (int x = 0; x < w; ++x) {
      float sum = 0.0f;
      const float* p = padded.data() + x;
      for (size_t k = 0; k < kernelX.size(); ++k) sum += kernelX[k] * p[k];
      out[x] = sum;
    }
  }
  FloatImage result(w, h, 1);
  for (int y = 0; y < h; ++y) {
    float* out = result.Row(y);
    std::fill(out, out + w, 0.0f);
    for (int k = 0; k < static_cast<int>(kernelY.size()); ++k) {
      const float* in = across.Row(std::clamp(y + k - ry, 0, h - 1));
      const float weight = kernelY[k];
      for (int x = 0; x < w; ++x) out[x] += weight * in[x];
    }
  }
  return result;
}

std::vector<float> PlaneFilters::GaussianKernel(double sigma) {
  const int radius = std::max(1, static_cast<int>(std::ceil(3.0 * sigma)));
  std::vector<float> kernel(2 * radius + 1);
  double sum = 0.0;
  for (int i = -radius; i <= radius; ++i) {
    const double g = std::exp(-(i * i) / (2.0 * sigma * sigma));
    kernel[i + radius] = static_cast<float>(g);
    sum += g;
  }
  for (float& k : kernel) k = static_cast<float>(k / sum);
  return kernel;
}

FloatImage PlaneFilters::GaussianBlur(const FloatImage& plane, double sigma) {
  const std::vector<float> kernel = GaussianKernel(sigma);
  return Separable(plane, kernel, kernel);
}

FloatImage PlaneFilters::SquaredDistanceToSeeds(const std::vector<unsigned char>& seeds, int width,
                                                int height) {
  FloatImage result(width, height, 1);
  std::vector<int> v;
  std::vector<float> z;
  std::vector<float> column(height), columnOut(height);
  // Columns first, then rows.
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) column[y] = seeds[static_cast<size_t>(y) * width + x] ? 0.0f : kFar;
    Envelope1D(column.data(), height, columnOut.data(), v, z);
    for (int y = 0; y < height; ++y) result.At(x, y) = columnOut[y];
  }
  std::vector<float> row(width);
  for (int y = 0; y < height; ++y) {
    float* r = result.Row(y);
    std::copy(r, r + width, row.begin());
    Envelope1D(row.data(), width, r, v, z);
  }
  for (float& d : result.Samples()) d = std::min(d, kFar);
  return result;
}

}  // namespace keybench
