#include "keyer/ModelOperations.h"

#include <algorithm>
#include <cmath>

#include "AlphaSmoothing.h"
#include "ColourEvaluator.h"
#include "SampleTargets.h"
#include "ScreenMap.h"
#include "ScreenNoise.h"
#include "SurfaceMover.h"
#include "keyer/KeyerState.h"
#include "keyer/ColourSpace.h"
#include "keyer/KeyerTuning.h"

namespace keyer {

namespace {

// Corner targets already cover the interpolation; this only keeps rounding on the right side.
constexpr double kMargin = 0.002;
constexpr double kGap = KeyerTuning::kMinimumGap;

using Keep = SampleTargets::Keep;

int ScreenChannel(const Vec3& screen) {
  int d = 0;
  for (int i = 1; i < 3; ++i)
    if (screen[i] > screen[d]) d = i;
  return d;
}

// How far the screen's channel exceeds the larger of the other two.
double ScreenExcess(const Vec3& c, int d) { return c[d] - std::max(c[(d + 1) % 3], c[(d + 2) % 3]); }

// Distance from the screen colour to the edge of the colour cube along u.
double ExitDistance(const Vec3& s, const Vec3& u) {
  double t = SurfaceGrid::kMaxRadius;
  for (int i = 0; i < 3; ++i) {
    if (u[i] > 1e-12) t = std::min(t, (1.0 - s[i]) / u[i]);
    if (u[i] < -1e-12) t = std::min(t, -s[i] / u[i]);
  }
  return std::max(t, 0.0);
}

double Median(std::vector<double>& v) {
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

// The share of the screen's colours (an even subsample of them) the model keys above kScreenLeakAlpha.
// The share of screen colours (about kScreenLeakPixels of them, evenly spread) keyed above kScreenLeakAlpha.
// smoothed: of the alphas the pass gives a screen of such colours once it smooths them. On a noisy screen
// each pixel's alpha is independent of its neighbours', so each smoothed alpha is the kernel's weighted mean
// of alphas drawn from the colours' own (at fixed pseudo-random places, the same on every call); alphas
// cannot fall below 0, so the mean of many small ones does not vanish as zero-mean noise would.
double LeakShare(const KeyerModel& model, const std::vector<uint32_t>& screen, bool smoothed = false) {
  const ColourEvaluator evaluator(model);
  const size_t step = std::max<size_t>(1, screen.size() / KeyerTuning::kScreenLeakPixels);
  std::vector<double> alphas;
  alphas.reserve(screen.size() / step + 1);
  for (size_t i = 0; i < screen.size(); i += step) {
    Vec3 colour;
    double alpha = 0;
    evaluator.Evaluate(ColourSpace::LinearOfColorRef(screen[i]), colour, alpha);
    alphas.push_back(alpha);
  }
  if (alphas.empty()) return 0.0;
  size_t leaked = 0;
  if (!smoothed) {
    for (double a : alphas) leaked += a > KeyerTuning::kScreenLeakAlpha;
    return double(leaked) / double(alphas.size());
  }
  const AlphaSmoothing smoothing(KeyerTuning::kAlphaSmoothRadius);
  const std::vector<uint32_t>& weights = smoothing.Weights();
  double total = 0;
  for (uint32_t w : weights) total += w;
  uint64_t seed = 0x9E3779B97F4A7C15ull;
  for (size_t draw = 0; draw < alphas.size(); ++draw) {
    double sum = 0;
    for (uint32_t across : weights)
      for (uint32_t down : weights) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        sum += double(across) * down * alphas[(seed >> 33) % alphas.size()];
      }
    leaked += sum / (total * total) > KeyerTuning::kScreenLeakAlpha;
  }
  return double(leaked) / double(alphas.size());
}

// The inner surface takes in the Gaussian's ellipsoid of `sigmas` deviations.
void TakeInEllipsoid(KeyerModel& model, const ScreenNoise& noise, double sigmas) {
  for (int n = 0; n < SurfaceGrid::kNodes; ++n) {
    const double reach = noise.Reach(SurfaceGrid::NodeDirection(n), sigmas) + kMargin;
    if (reach > model.inner.Node(n)) model.inner.SetNode(n, reach);
  }
  ModelOperations::KeepNested(model, ModelOperations::Surface::Inner);
}

Vec3 StoredScreen(const Vec3& s) {
  return {static_cast<float>(s.r), static_cast<float>(s.g), static_cast<float>(s.b)};
}

}  // namespace

KeyerModel ModelOperations::AroundScreen(const Vec3& screenColour, const KeyerModel& base) {
  KeyerModel m;
  m.algorithm = base.algorithm;
  m.spillMode = base.spillMode;
  m.spillColour = base.spillColour;
  m.keyed = true;
  m.screen = StoredScreen(screenColour);
  const Vec3& s = m.screen;
  int d = ScreenChannel(s);
  double excess = ScreenExcess(s, d);
  for (int n = 0; n < SurfaceGrid::kNodes; ++n) {
    const Vec3& u = SurfaceGrid::NodeDirection(n);
    double exit = std::min(SurfaceGrid::kMaxRadius, ExitDistance(s, u) + 0.02);
    // Walking out from the screen colour: colours still at least as dominated by the screen's channel
    // as the screen itself are screen; the subject begins where that dominance has fallen to a share
    // of the screen's, or where the colour is a secondary one (one of the other channels risen well
    // above the screen's while the third has not risen): no mix of the screen with a subject raises
    // one channel that far while leaving another at or below the screen's level, short of a mostly
    // opaque subject of that colour (yellow-green before a green screen).
    const int o1 = (d + 1) % 3, o2 = (d + 2) % 3;
    const double rise = KeyerTuning::kSecondaryRiseShare * excess;
    double dominated = 0, middle = exit;
    bool leftScreen = false;
    for (double t = 0.004; t < exit; t += 0.004) {
      const Vec3 c = s + u * t;
      const double e = ScreenExcess(c, d);
      if (!leftScreen) {
        if (e >= excess) {
          dominated = t;
          continue;
        }
        leftScreen = true;
      }
      const bool secondary =
          (c[o1] - s[o1] >= rise && c[o2] <= s[o2]) || (c[o2] - s[o2] >= rise && c[o1] <= s[o1]);
      if (e <= KeyerTuning::kOpaqueExcessShare * excess || secondary) {
        middle = t;
        break;
      }
    }
    double inner;
    if (!leftScreen) {
      // Towards colours more dominated by the screen's channel than the screen itself: all screen.
      inner = exit;
      middle = exit + kGap;
    } else {
      inner = std::max(dominated,
                       std::min(KeyerTuning::kDefaultNoiseRadius, KeyerTuning::kDefaultInnerShare * middle));
    }
    m.inner.SetNode(n, inner);
    m.middle.SetNode(n, std::max(middle, inner + kGap));
    m.outer.SetNode(n, std::max(middle, inner + kGap) * KeyerTuning::kDefaultSpillReach);
  }
  KeepNested(m, Surface::Inner);
  return m;
}

void ModelOperations::KeepNested(KeyerModel& m, Surface moved) {
  for (int n = 0; n < SurfaceGrid::kNodes; ++n) {
    double in = m.inner.Node(n), mid = m.middle.Node(n), out = m.outer.Node(n);
    switch (moved) {
      case Surface::Inner:
        mid = std::max(mid, in + kGap);
        out = std::max(out, mid);
        break;
      case Surface::Middle:
        in = std::min(in, std::max(0.0, mid - kGap));
        out = std::max(out, mid);
        break;
      case Surface::Outer:
        mid = std::min(mid, out);
        in = std::min(in, std::max(0.0, mid - kGap));
        break;
    }
    m.inner.SetNode(n, in);
    m.middle.SetNode(n, mid);
    m.outer.SetNode(n, out);
  }
}

void ModelOperations::SelectBackgroundColor(KeyerModel& model, const Colours& sample) {
  if (sample.empty()) return;
  std::vector<double> channel[3];
  for (uint32_t c : sample) {
    Vec3 lin = ColourSpace::LinearOfColorRef(c);
    for (int i = 0; i < 3; ++i) channel[i].push_back(lin[i]);
  }
  Vec3 screen{Median(channel[0]), Median(channel[1]), Median(channel[2])};
  KeyerModel fresh = AroundScreen(screen, model);
  CleanBackground(fresh, sample);
  model = fresh;
}

void ModelOperations::CleanBackground(KeyerModel& model, const Colours& sample) {
  if (sample.empty()) return;
  if (!model.keyed) {
    SelectBackgroundColor(model, sample);
    return;
  }
  if (ScreenMap::SampleScatter(sample, model.screen) > KeyerTuning::kSmoothScreenScatter) {
    // A sample as noisy as a screen the pass smooths the alpha of: its farthest colours are the tails of
    // its noise, which the smoothing averages away, and growing to them would swallow every faint strand of
    // hair whose mix lies as near the screen. Its scatter is taken in only as far as the smoothed alpha
    // needs, with the sample brought to the screen colour as the pass's map will bring such a patch: the
    // map measures its levels over the pixels that key as screen, which on a noisy screen are those whose
    // noise makes them more like the screen colour, so the level it finds is not the sample's median.
    const auto state = KeyerState::FromModel(model);
    TakeInScreenScatter(model, ScreenMap::SampleAtScreen(sample, model.screen, true, state.get()), true);
    return;
  }
  // A screen sample is taken at the screen colour, as the keying pass sees it: a dim or tinted corner of an
  // unevenly lit screen widens the screen by its noise, not towards dark colours (hair, shadows).
  const Colours lifted = ScreenMap::SampleAtScreen(sample, model.screen);
  auto targets = SampleTargets::CellCorners(lifted, model.screen, Keep::Farthest);
  SurfaceMover::Grow(model.inner, targets, [](const Target& t) { return t.distance + kMargin; });
  KeepNested(model, Surface::Inner);
  // Each colour lifted by its own brightness has lost its scatter in brightness, which the pass keeps (its
  // map follows the light, not each pixel's noise): where the sample at its common level still keys above
  // the screen's, that scatter is taken in too, as far as it must.
  const Colours common = ScreenMap::SampleAtScreen(sample, model.screen, true);
  if (LeakShare(model, common) > KeyerTuning::kScreenLeakShare) TakeInScreenScatter(model, common);
}

void ModelOperations::TakeInScreenScatter(KeyerModel& model, const Colours& screen, bool smoothed) {
  const ScreenNoise noise(screen, model.screen);
  const KeyerModel before = model;
  for (double sigmas = KeyerTuning::kScreenNoiseLeastSigmas;; sigmas += KeyerTuning::kScreenNoiseSigmaStep) {
    model = before;
    const bool last = sigmas + KeyerTuning::kScreenNoiseSigmaStep > KeyerTuning::kScreenNoiseSigmas + 1e-9;
    TakeInEllipsoid(model, noise, last ? KeyerTuning::kScreenNoiseSigmas : sigmas);
    const double share = smoothed ? KeyerTuning::kSmoothedLeakShare : KeyerTuning::kScreenLeakShare;
    if (last || LeakShare(model, screen, smoothed) <= share) return;
  }
}

void ModelOperations::CleanForeground(KeyerModel& model, const Colours& sample) {
  if (!model.keyed || sample.empty()) return;
  auto targets = SampleTargets::CellCorners(sample, model.screen, Keep::Nearest);
  SurfaceMover::Shrink(model.middle, targets,
                       [](const Target& t) { return std::max(0.0, t.distance - kMargin); });
  KeepNested(model, Surface::Middle);
}

void ModelOperations::MatteSponge(KeyerModel& model, const Colours& sample) {
  if (!model.keyed || sample.empty()) return;
  CleanForeground(model, sample);
  auto far = SampleTargets::CellCorners(sample, model.screen, Keep::Farthest);
  SurfaceMover::Grow(model.outer, far, [](const Target& t) { return t.distance + kMargin; });
}

void ModelOperations::SpillSponge(KeyerModel& model, const Colours& sample) {
  if (!model.keyed || sample.empty()) return;
  auto targets = SampleTargets::CellCorners(sample, model.screen, Keep::Nearest);
  SurfaceMover::Shrink(model.outer, targets,
                       [](const Target& t) { return std::max(0.0, t.distance - kMargin); });
  KeepNested(model, Surface::Outer);
}

void ModelOperations::MakeForegroundTransparent(KeyerModel& model, const Colours& sample) {
  if (!model.keyed || sample.empty()) return;
  auto near = SampleTargets::CellCorners(sample, model.screen, Keep::Nearest);
  auto far = SampleTargets::CellCorners(sample, model.screen, Keep::Farthest);
  // Inner below half of every corner, middle beyond twice it: each corner lands inside the ramp.
  SurfaceMover::Shrink(model.inner, near, [](const Target& t) { return 0.5 * t.distance; });
  SurfaceMover::Grow(model.middle, far, [](const Target& t) { return 2.0 * t.distance + kGap; });
  KeepNested(model, Surface::Middle);
}

void ModelOperations::RestoreDetail(KeyerModel& model, const Colours& sample) {
  if (!model.keyed || sample.empty()) return;
  auto targets = SampleTargets::CellCorners(sample, model.screen, Keep::Nearest);
  const KeyerModel before = model;
  SurfaceMover::Shrink(model.inner, targets, [&](const Target& t) {
    return 0.5 * std::min(before.inner.RadiusAt(t.direction), t.distance);
  });
  SurfaceMover::Shrink(model.middle, targets, [&](const Target& t) {
    double mid = before.middle.RadiusAt(t.direction);
    return mid > t.distance ? t.distance + 0.8 * (mid - t.distance) : mid;
  });
  KeepNested(model, Surface::Middle);
}

void ModelOperations::AdjustMatte(KeyerModel& model, const Colours& sample, bool more) {
  if (!model.keyed || sample.empty()) return;
  double step = 1 - KeyerTuning::kAdjustStep;
  SurfaceMover::Scale(model.middle, SampleTargets::Colours(sample, model.screen), more ? step : 1 / step);
  KeepNested(model, Surface::Middle);
}

void ModelOperations::AdjustSpill(KeyerModel& model, const Colours& sample, bool more) {
  if (!model.keyed || sample.empty()) return;
  double step = 1 - KeyerTuning::kAdjustStep;
  SurfaceMover::Scale(model.outer, SampleTargets::Colours(sample, model.screen), more ? 1 / step : step);
  // Less spill removal stops at the middle surface: it never makes anything opaque.
  for (int n = 0; n < SurfaceGrid::kNodes; ++n)
    if (model.outer.Node(n) < model.middle.Node(n)) model.outer.SetStoredNode(n, model.middle.StoredNode(n));
}

void ModelOperations::AdjustDetail(KeyerModel& model, const Colours& sample, bool more) {
  if (!model.keyed || sample.empty()) return;
  double step = 1 - KeyerTuning::kAdjustStep;
  SurfaceMover::Scale(model.inner, SampleTargets::Colours(sample, model.screen), more ? step : 1 / step);
  KeepNested(model, Surface::Inner);
}

void ModelOperations::FineTune(KeyerModel& model, uint32_t colour, double spill, double transparency,
                               double detail) {
  auto clampDelta = [](double v) { return std::isfinite(v) ? std::clamp(v, -1.0, 1.0) : 0.0; };
  spill = clampDelta(spill);
  transparency = clampDelta(transparency);
  detail = clampDelta(detail);
  if (!model.keyed || (spill == 0 && transparency == 0 && detail == 0)) return;
  auto targets = SampleTargets::Colours({colour}, model.screen);
  const double f = KeyerTuning::kFineTuneFactor;
  if (detail != 0) {
    SurfaceMover::Scale(model.inner, targets, std::pow(f, detail));
    KeepNested(model, Surface::Inner);
  }
  if (transparency != 0) {
    SurfaceMover::Scale(model.middle, targets, std::pow(f, transparency));
    KeepNested(model, Surface::Middle);
  }
  if (spill != 0) {
    SurfaceMover::Scale(model.outer, targets, std::pow(f, spill));
    KeepNested(model, Surface::Outer);
  }
}

}  // namespace keyer
