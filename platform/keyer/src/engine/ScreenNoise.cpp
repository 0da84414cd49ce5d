#include "ScreenNoise.h"

#include <algorithm>
#include <cmath>

#include "keyer/ColourSpace.h"
#include "keyer/KeyerTuning.h"

namespace keyer {

namespace {

using Matrix = double[3][3];

// False when m is singular.
bool Invert(const Matrix& m, Matrix& out) {
  const double c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1], c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2],
               c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
  const double det = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
  if (!(std::fabs(det) > 1e-30)) return false;
  const double k = 1.0 / det;
  out[0][0] = c00 * k;
  out[1][0] = c01 * k;
  out[2][0] = c02 * k;
  out[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * k;
  out[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * k;
  out[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * k;
  out[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * k;
  out[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * k;
  out[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * k;
  return true;
}

double Mahalanobis2(const Matrix& inverse, const Vec3& d) {
  double sum = 0;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) sum += d[i] * inverse[i][j] * d[j];
  return sum;
}

}  // namespace

ScreenNoise::ScreenNoise(const std::vector<uint32_t>& colours, const Vec3& screen) {
  std::vector<Vec3> d;
  d.reserve(colours.size());
  for (uint32_t c : colours) d.push_back(ColourSpace::LinearOfColorRef(c) - screen);
  // Start from each channel's median absolute departure (1.4826 of it is a Gaussian's deviation), then
  // refit the whole covariance to the colours inside the trimming ellipsoid a few times; the covariance of
  // a Gaussian cut at the chi-square quantile q is that of the whole times F5(q) / F3(q) (three degrees
  // of freedom), which the fit divides out.
  const double floor = KeyerTuning::kScreenNoiseFloor * KeyerTuning::kScreenNoiseFloor;
  Matrix cov = {};
  for (int i = 0; i < 3; ++i) {
    std::vector<double> a;
    a.reserve(d.size());
    for (const Vec3& v : d) a.push_back(std::fabs(v[i]));
    double mad = 0;
    if (!a.empty()) {
      std::nth_element(a.begin(), a.begin() + a.size() / 2, a.end());
      mad = a[a.size() / 2];
    }
    cov[i][i] = std::pow(1.4826 * mad, 2) + floor;
  }
  constexpr double q = 9.0;                // trimmed at three deviations
  constexpr double cut = 0.8909 / 0.9707;  // F5(9) / F3(9)
  for (int round = 0; round < 4; ++round) {
    Matrix inverse;
    if (!Invert(cov, inverse)) break;
    Matrix sum = {};
    size_t kept = 0;
    for (const Vec3& v : d) {
      if (Mahalanobis2(inverse, v) > q) continue;
      ++kept;
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) sum[i][j] += v[i] * v[j];
    }
    if (kept < 8) break;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) cov[i][j] = sum[i][j] / double(kept) / cut + (i == j ? floor : 0.0);
  }
  if (!Invert(cov, inverse_))
    for (int i = 0; i < 3; ++i) inverse_[i][i] = 1.0 / floor;
}

double ScreenNoise::Reach(const Vec3& u, double sigmas) const {
  const double m = Mahalanobis2(inverse_, u);
  return m > 0 ? sigmas / std::sqrt(m) : 0.0;
}

}  // namespace keyer
