#include "MatteError.h"

#include "PlaneFilters.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace keybench {

namespace {

void CheckSameSize(const FloatImage& a, const FloatImage& b, const PixelMask& mask) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.Channels() != 1 || b.Channels() != 1)
    throw std::invalid_argument("mattes of different sizes");
  if (!mask.empty() && mask.size() != a.PixelCount()) throw std::invalid_argument("mask of another size");
}

bool Counted(const PixelMask& mask, size_t i) { return mask.empty() || mask[i] != 0; }

// Stretches a plane to 0..1; a constant plane becomes 0.
FloatImage MinMaxNormalised(const FloatImage& plane) {
  const auto [lo, hi] = std::minmax_element(plane.Samples().begin(), plane.Samples().end());
  FloatImage result(plane.Width(), plane.Height(), 1);
  const double range = *hi - *lo;
  const double scale = range > 1e-12 ? 1.0 / range : 0.0;
  const float low = *lo;
  auto out = result.Samples().begin();
  for (float v : plane.Samples()) *out++ = static_cast<float>((v - low) * scale);
  return result;
}

// Marks the largest 4-connected component of set pixels in omega (first found wins a tie).
void LargestComponent(const std::vector<unsigned char>& set, int w, int h, std::vector<int>& labels,
                      std::vector<int>& stack, std::vector<unsigned char>& omega) {
  std::fill(labels.begin(), labels.end(), 0);
  int next = 0, best = 0;
  size_t bestSize = 0;
  for (size_t start = 0; start < set.size(); ++start) {
    if (!set[start] || labels[start]) continue;
    ++next;
    size_t size = 0;
    stack.clear();
    stack.push_back(static_cast<int>(start));
    labels[start] = next;
    while (!stack.empty()) {
      const int i = stack.back();
      stack.pop_back();
      ++size;
      const int x = i % w, y = i / w;
      const int neighbours[4] = {x > 0 ? i - 1 : -1, x + 1 < w ? i + 1 : -1, y > 0 ? i - w : -1,
                                 y + 1 < h ? i + w : -1};
      for (int n : neighbours) {
        if (n >= 0 && set[n] && !labels[n]) {
          labels[n] = next;
          stack.push_back(n);
        }
      }
    }
    if (size > bestSize) {
      bestSize = size;
      best = next;
    }
  }
  for (size_t i = 0; i < set.size(); ++i) omega[i] = best != 0 && labels[i] == best;
}

}  // namespace

PixelMask MatteError::Band(const FloatImage& trueAlpha, double radius, float low, float high) {
  PixelMask seeds(trueAlpha.PixelCount());
  const auto& a = trueAlpha.Samples();
  for (size_t i = 0; i < seeds.size(); ++i) seeds[i] = a[i] > low && a[i] < high;
  const FloatImage d2 = PlaneFilters::SquaredDistanceToSeeds(seeds, trueAlpha.Width(), trueAlpha.Height());
  const float limit = static_cast<float>(radius * radius);
  PixelMask band(seeds.size());
  for (size_t i = 0; i < band.size(); ++i) band[i] = d2.Samples()[i] <= limit;
  return band;
}

size_t MatteError::CountOf(const PixelMask& mask, size_t pixelCount) {
  if (mask.empty()) return pixelCount;
  return static_cast<size_t>(std::count_if(mask.begin(), mask.end(), [](unsigned char m) { return m != 0; }));
}

double MatteError::Sad(const FloatImage& alpha, const FloatImage& truth, const PixelMask& mask) {
  CheckSameSize(alpha, truth, mask);
  double sum = 0.0;
  for (size_t i = 0; i < alpha.PixelCount(); ++i)
    if (Counted(mask, i)) sum += std::fabs(static_cast<double>(alpha.Samples()[i]) - truth.Samples()[i]);
  return sum / 1000.0;
}

double MatteError::Mse(const FloatImage& alpha, const FloatImage& truth, const PixelMask& mask) {
  CheckSameSize(alpha, truth, mask);
  double sum = 0.0;
  size_t count = 0;
  for (size_t i = 0; i < alpha.PixelCount(); ++i) {
    if (!Counted(mask, i)) continue;
    const double d = static_cast<double>(alpha.Samples()[i]) - truth.Samples()[i];
    sum += d * d;
    ++count;
  }
  return count ? sum / count : 0.0;
}

namespace {

// Of the pixels whose truth passes select, the share whose alpha passes wrong; 0 when none is selected.
template <typename Select, typename Wrong>
double ShareOf(const FloatImage& alpha, const FloatImage& truth, Select select, Wrong wrong) {
  CheckSameSize(alpha, truth, {});
  size_t selected = 0, bad = 0;
  for (size_t i = 0; i < truth.PixelCount(); ++i) {
    if (!select(truth.Samples()[i])) continue;
    ++selected;
    bad += wrong(alpha.Samples()[i]);
  }
  return selected ? double(bad) / double(selected) : 0.0;
}

}  // namespace

double MatteError::HoleRate(const FloatImage& alpha, const FloatImage& truth) {
  return ShareOf(
      alpha, truth, [](float t) { return t >= 0.999f; }, [](float a) { return a < 0.9f; });
}

double MatteError::LeakRate(const FloatImage& alpha, const FloatImage& truth) {
  return ShareOf(
      alpha, truth, [](float t) { return t <= 0.001f; }, [](float a) { return a > 0.1f; });
}

FloatImage MatteError::GradientMagnitude(const FloatImage& alpha, double sigma) {
  // Filter half-size where the Gaussian falls under 1 % of its peak density.
  const double epsilon = 1e-2;
  const int half = static_cast<int>(
      std::ceil(sigma * std::sqrt(-2.0 * std::log(std::sqrt(2.0 * 3.141592653589793) * sigma * epsilon))));
  std::vector<double> g(2 * half + 1), dg(2 * half + 1);
  double gNorm = 0.0, dgNorm = 0.0;
  for (int i = -half; i <= half; ++i) {
    const double gi =
        std::exp(-(i * i) / (2.0 * sigma * sigma)) / (sigma * std::sqrt(2.0 * 3.141592653589793));
    g[i + half] = gi;
    dg[i + half] = -i * gi / (sigma * sigma);
    gNorm += gi * gi;
    dgNorm += dg[i + half] * dg[i + half];
  }
  // The 2-D filter is the outer product of g and dg; its L2 norm is the product of theirs.
  std::vector<float> smooth(g.size()), derive(dg.size());
  for (size_t i = 0; i < g.size(); ++i) {
    smooth[i] = static_cast<float>(g[i] / std::sqrt(gNorm));
    derive[i] = static_cast<float>(dg[i] / std::sqrt(dgNorm));
  }
  const FloatImage gx = PlaneFilters::Separable(alpha, derive, smooth);
  const FloatImage gy = PlaneFilters::Separable(alpha, smooth, derive);
  FloatImage magnitude(alpha.Width(), alpha.Height(), 1);
  for (size_t i = 0; i < magnitude.PixelCount(); ++i) {
    const float x = gx.Samples()[i], y = gy.Samples()[i];
    magnitude.Samples()[i] = std::sqrt(x * x + y * y);
  }
  return magnitude;
}

double MatteError::Gradient(const FloatImage& alpha, const FloatImage& truth, const PixelMask& mask) {
  CheckSameSize(alpha, truth, mask);
  const FloatImage a = GradientMagnitude(MinMaxNormalised(alpha));
  const FloatImage t = GradientMagnitude(MinMaxNormalised(truth));
  double sum = 0.0;
  for (size_t i = 0; i < a.PixelCount(); ++i) {
    if (!Counted(mask, i)) continue;
    const double d = static_cast<double>(a.Samples()[i]) - t.Samples()[i];
    sum += d * d;
  }
  return sum / 1000.0;
}

double MatteError::Connectivity(const FloatImage& alpha, const FloatImage& truth, const PixelMask& mask) {
  CheckSameSize(alpha, truth, mask);
  const int w = alpha.Width(), h = alpha.Height();
  const size_t n = alpha.PixelCount();
  const auto& a = alpha.Samples();
  const auto& t = truth.Samples();
  // The highest threshold below which each pixel still belonged to the largest common component.
  std::vector<float> roundDown(n, -1.0f);
  std::vector<unsigned char> set(n), omega(n);
  std::vector<int> labels(n), stack;
  const double step = 0.1;
  for (int i = 1; i <= 10; ++i) {
    const double threshold = i * step;
    for (size_t p = 0; p < n; ++p) set[p] = a[p] >= threshold && t[p] >= threshold;
    LargestComponent(set, w, h, labels, stack, omega);
    const float previous = static_cast<float>((i - 1) * step);
    for (size_t p = 0; p < n; ++p)
      if (roundDown[p] == -1.0f && !omega[p]) roundDown[p] = previous;
  }
  double sum = 0.0;
  for (size_t p = 0; p < n; ++p) {
    if (!Counted(mask, p)) continue;
    const double level = roundDown[p] == -1.0f ? 1.0 : roundDown[p];
    const double da = a[p] - level, dt = t[p] - level;
    const double phiA = 1.0 - (da >= 0.15 ? da : 0.0);
    const double phiT = 1.0 - (dt >= 0.15 ? dt : 0.0);
    sum += std::fabs(phiA - phiT);
  }
  return sum / 1000.0;
}

double MatteError::PremultipliedColour(const FloatImage& alpha, const FloatImage& foreground,
                                       const FloatImage& trueAlpha, const FloatImage& trueForeground,
                                       const PixelMask& mask, float minTrueAlpha) {
  CheckSameSize(alpha, trueAlpha, mask);
  if (foreground.Channels() != 3 || trueForeground.Channels() != 3 || foreground.Width() != alpha.Width() ||
      foreground.Height() != alpha.Height() || trueForeground.Width() != alpha.Width() ||
      trueForeground.Height() != alpha.Height())
    throw std::invalid_argument("foreground of another size");
  double sum = 0.0;
  size_t count = 0;
  for (size_t i = 0; i < alpha.PixelCount(); ++i) {
    const float at = trueAlpha.Samples()[i];
    if (!Counted(mask, i) || !(at > minTrueAlpha)) continue;
    const float ak = alpha.Samples()[i];
    for (int c = 0; c < 3; ++c) {
      const double d = static_cast<double>(ak) * foreground.Samples()[i * 3 + c] -
                       static_cast<double>(at) * trueForeground.Samples()[i * 3 + c];
      sum += d * d;
    }
    count += 3;
  }
  return count ? sum / count : 0.0;
}

}  // namespace keybench
