#include "ColourEvaluator.h"

#include <algorithm>
#include <cmath>

#include "keyer/ColourSpace.h"

namespace keyer {

namespace {
// Rec. 709 luminance of each channel in linear light.
constexpr double kLuminance[3] = {0.2126, 0.7152, 0.0722};
}  // namespace

ColourEvaluator::ColourEvaluator(const KeyerModel& model) : model_(model) {
  const Vec3& s = model.screen;
  screenChannel_ = 0;
  for (int i = 1; i < 3; ++i)
    if (s[i] > s[screenChannel_]) screenChannel_ = i;
  switch (model.spillMode) {
    case SpillMode::Solid:
      replacement_ = ColourSpace::LinearOfColorRef(model.spillColour);
      break;
    case SpillMode::Complement: {
      // The screen's complement, brightest channel 0.5: green spill turns towards magenta.
      double top = std::max({s.r, s.g, s.b, 1e-6});
      replacement_ = Vec3{top - s.r, top - s.g, top - s.b} * (0.5 / top);
      break;
    }
    case SpillMode::Defocus: {
      // No plate to defocus inside the keyer: the removed spill comes back as a neutral of equal
      // luminance, as a soft, unfocused fill would bring it.
      double y = kLuminance[screenChannel_];
      replacement_ = Vec3{y, y, y};
      break;
    }
  }
}

double ColourEvaluator::Ramp(double x) const {
  switch (model_.algorithm) {
    case 1:
      return x * x * (3 - 2 * x);
    case 2:
      return std::clamp((x - 0.2) / 0.6, 0.0, 1.0);
    default:
      return x;
  }
}

void ColourEvaluator::Evaluate(const Vec3& c, Vec3& colour, double& alpha) const {
  const Vec3& s = model_.screen;
  Vec3 d = c - s;
  double t = d.Length();
  if (t < 1e-9) {
    alpha = 0;
    colour = c;
    return;
  }
  Vec3 u = d * (1.0 / t);
  double in = model_.inner.RadiusAt(u);
  double mid = model_.middle.RadiusAt(u);
  double out = model_.outer.RadiusAt(u);
  double x = std::clamp((t - in) / std::max(mid - in, 1e-6), 0.0, 1.0);
  alpha = Ramp(x);

  // Unmixed subject colour: on the line from the screen through the pixel, where the middle
  // surface says the subject begins. Stable at low alpha, and the pixel itself once opaque.
  Vec3 f = t >= mid ? c : s + u * mid;

  double spillWeight = t <= mid ? 1.0 : (t >= out ? 0.0 : (out - t) / std::max(out - mid, 1e-6));
  if (spillWeight > 0) {
    int k = screenChannel_;
    double excess = f[k] - std::max(f[(k + 1) % 3], f[(k + 2) % 3]);
    if (excess > 0) {
      double removed = excess * spillWeight;
      f[k] -= removed;
      f = f + replacement_ * removed;
    }
  }
  for (int i = 0; i < 3; ++i) f[i] = std::max(0.0, f[i]);
  colour = f;
}

}  // namespace keyer
