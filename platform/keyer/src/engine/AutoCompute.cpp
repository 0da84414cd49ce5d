#include "keyer/AutoCompute.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "SampleTargets.h"
#include "ScreenLight.h"
#include "ScreenMap.h"
#include "SurfaceMover.h"
#include "keyer/ColourSpace.h"
#include "keyer/KeyerState.h"
#include "keyer/KeyerTuning.h"
#include "keyer/ModelOperations.h"

namespace keyer {

namespace {

constexpr double kMargin = 0.002;

// The evenly spread pixels AutoCompute reads: each colour (COLORREF) and where it lies.
struct Spread {
  std::vector<uint32_t> colours;
  std::vector<uint64_t> places;  // x | y << 32
};

Spread ReadSpread(PixelRowReader& pixels) {
  const int w = pixels.Width(), h = pixels.Height();
  if (w <= 0 || h <= 0) return {};
  double total = static_cast<double>(w) * h;
  int step = std::max(1, static_cast<int>(std::ceil(std::sqrt(total / KeyerTuning::kAutoComputePixels))));
  std::vector<uint8_t> row(static_cast<size_t>(w) * 3);
  Spread spread;
  const size_t count = static_cast<size_t>((w + step - 1) / step) * ((h + step - 1) / step);
  spread.colours.reserve(count);
  spread.places.reserve(count);
  for (int y = 0; y < h; y += step) {
    if (!pixels.ReadRows(y, 1, row.data(), row.size()))
      throw std::runtime_error("the picture's pixels cannot be read");
    for (int x = 0; x < w; x += step) {
      const uint8_t* p = &row[static_cast<size_t>(x) * 3];
      spread.colours.push_back(p[2] | (p[1] << 8) | (static_cast<uint32_t>(p[0]) << 16));
      spread.places.push_back(static_cast<uint64_t>(x) | static_cast<uint64_t>(y) << 32);
    }
  }
  return spread;
}

double Excess(const float* lin, uint32_t c, int d) {
  double v[3] = {lin[c & 0xFF], lin[(c >> 8) & 0xFF], lin[(c >> 16) & 0xFF]};
  return v[d] - std::max(v[(d + 1) % 3], v[(d + 2) % 3]);
}

double Channel(const float* lin, uint32_t c, int d) { return lin[(c >> (8 * d)) & 0xFF]; }

// The map of the screen the keying pass measures with this model on this picture.
ScreenMap MeasureMap(const KeyerModel& model, PixelRowReader& pixels) {
  const auto state = KeyerState::FromModel(model);
  std::vector<uint8_t> row(static_cast<size_t>(pixels.Width()) * 3);
  return ScreenMap(*state, pixels.Width(), pixels.Height(), [&](int y) {
    if (!pixels.ReadRows(y, 1, row.data(), row.size()))
      throw std::runtime_error("the picture's pixels cannot be read");
    return row.data();
  });
}

// The chosen colours of the spread (in the spread's order, row by row) brought to the model's screen
// colour by the map's levels where each lies: the colours the keying pass looks them up at.
std::vector<uint32_t> Balanced(const Spread& spread, const std::vector<size_t>& chosen, const ScreenMap& map,
                               int width) {
  std::vector<uint32_t> out;
  out.reserve(chosen.size());
  std::vector<int8_t> levels(map.Empty() ? 0 : static_cast<size_t>(width) * 3);
  int64_t levelledRow = -1;
  for (size_t i : chosen) {
    const uint32_t c = spread.colours[i];
    if (map.Empty()) {
      out.push_back(c);
      continue;
    }
    const int x = static_cast<int>(spread.places[i] & 0xFFFFFFFF),
              y = static_cast<int>(spread.places[i] >> 32);
    if (y != levelledRow) {
      map.RowLevels(y, levels.data());
      levelledRow = y;
    }
    const int ch = map.Channels();
    const int8_t* l = &levels[static_cast<size_t>(x) * ch];  // B, G, R, or one for all three
    out.push_back(ScreenLight::Remap(l[ch - 1])[c & 0xFF] |
                  uint32_t(ScreenLight::Remap(l[(ch - 1) / 2])[(c >> 8) & 0xFF]) << 8 |
                  uint32_t(ScreenLight::Remap(l[0])[(c >> 16) & 0xFF]) << 16);
  }
  return out;
}

// The median of each channel's codes, in linear light.
Vec3 MedianColour(const std::vector<uint32_t>& colours) {
  const float* lin = ColourSpace::LinearOfCode();
  Vec3 median;
  for (int ch = 0; ch < 3; ++ch) {
    uint32_t histogram[256] = {};
    for (uint32_t c : colours) ++histogram[(c >> (8 * ch)) & 0xFF];
    size_t half = colours.size() / 2, seen = 0;
    int code = 0;
    while (code < 255 && seen + histogram[code] <= half) seen += histogram[code++];
    median[ch] = lin[code];
  }
  return median;
}

// Where the screen has creases, the pass keys the pixels on them at their own brightness (see
// ScreenCreases): the fit leaves out the colours whose brightness departs from the map's by more than the
// screen's scatter allows (kCreaseFitDeviations of it), so that the creases' shading does not widen the
// inner surface towards dark colours and swallow strands of hair with it.
void LeaveOutCreases(std::vector<uint32_t>& colours, const Vec3& screen, const ScreenMap& map) {
  int32_t fixed[256];
  ScreenLight::FixedLevelsOfCodes(screen, fixed);
  const int d = ScreenLight::ScreenChannel(screen);
  const double levels = std::log2(1 + KeyerTuning::kCreaseFitDeviations * map.Scatter()) *
                        ScreenLight::kLevelsPerDoubling * ScreenLight::kFixedOne;
  const int32_t limit = static_cast<int32_t>(std::lround(std::max(levels, double(ScreenLight::kFixedOne))));
  std::vector<uint32_t> kept;
  kept.reserve(colours.size());
  for (uint32_t c : colours)
    if (std::abs(fixed[(c >> (8 * d)) & 0xFF]) <= limit) kept.push_back(c);
  if (!kept.empty()) colours.swap(kept);
}

// A model around the screen's colours whose inner surface takes in their scatter (see
// ModelOperations::TakeInScreenScatter), from kFittedInnerStart on a screen the pass does not smooth. Where
// the map finds the screen noisy, the pass smooths the alpha and so averages the screen's per-pixel specks
// with their neighbours': a screen pixel then shows over a new background only where the smoothed alpha does,
// and the surface stops sooner, leaving faint strands more cover.
KeyerModel FitToScreen(const std::vector<uint32_t>& screen, const KeyerModel& base, const ScreenMap& map) {
  KeyerModel fitted = ModelOperations::AroundScreen(MedianColour(screen), base);
  const bool smoothed = map.Scatter() > KeyerTuning::kSmoothScreenScatter;
  if (!smoothed)
    for (int n = 0; n < SurfaceGrid::kNodes; ++n)
      fitted.inner.SetNode(n, std::min(fitted.inner.Node(n), KeyerTuning::kFittedInnerStart));
  ModelOperations::TakeInScreenScatter(fitted, screen, smoothed);
  return fitted;
}

}  // namespace

bool AutoCompute::Compute(KeyerModel& model, PixelRowReader& pixels, double backgroundFactor,
                          double foregroundFactor) {
  const Spread spread = ReadSpread(pixels);
  const std::vector<uint32_t>& colours = spread.colours;
  if (colours.empty()) return false;
  const float* lin = ColourSpace::LinearOfCode();

  // The screen's channel: the one that most often, and most strongly, exceeds the other two.
  double dominance[3] = {0, 0, 0};
  for (uint32_t c : colours)
    for (int d = 0; d < 3; ++d) dominance[d] += std::max(0.0, Excess(lin, c, d));
  int d = static_cast<int>(std::max_element(dominance, dominance + 3) - dominance);
  if (dominance[d] < 0.01 * static_cast<double>(colours.size())) return false;

  // Screen-like pixels: the channel's excess relative to the channel, which a darker part of the
  // screen keeps, near that of the most saturated tenth.
  std::vector<double> ratios;
  for (uint32_t c : colours) {
    double e = Excess(lin, c, d);
    if (e > 0) ratios.push_back(e / std::max(Channel(lin, c, d), 1e-6));
  }
  size_t at = ratios.size() * 9 / 10;
  std::nth_element(ratios.begin(), ratios.begin() + at, ratios.end());
  const double threshold = KeyerTuning::kScreenLikeShare * ratios[at];
  std::vector<bool> like(colours.size());
  for (size_t i = 0; i < colours.size(); ++i) {
    const uint32_t c = colours[i];
    double e = Excess(lin, c, d);
    like[i] = e > 0 && e / std::max(Channel(lin, c, d), 1e-6) >= threshold;
  }
  // A pixel is taken as screen where the pixel beside it in the spread is screen-like: chosen by its own
  // colour, a noisy screen's pixels would be chosen for the noise that makes them more saturated, and the
  // fit would miss the rest of the screen's scatter.
  const auto row = [&](size_t i) { return spread.places[i] >> 32; };
  std::vector<size_t> screenLike;
  for (size_t i = 0; i < colours.size(); ++i) {
    size_t beside = i;  // a picture one pixel wide has no pixel beside
    if (i + 1 < colours.size() && row(i + 1) == row(i))
      beside = i + 1;
    else if (i > 0 && row(i - 1) == row(i))
      beside = i - 1;
    if (like[beside]) screenLike.push_back(i);
  }
  if (screenLike.empty()) return false;

  // The screen colour and the inner surface, fitted to the screen's pixels as the keying pass will see
  // them: each brought to the screen colour by the map of the screen that the pass measures with the
  // model. The map depends on which pixels the model keys as screen, so the fit starts from a fresh
  // model around the pixels' median colour and is repeated against the map of the model before.
  std::vector<uint32_t> screenColours;
  for (size_t i : screenLike) screenColours.push_back(colours[i]);
  KeyerModel fresh = ModelOperations::AroundScreen(MedianColour(screenColours), model);
  for (int round = 0; round < KeyerTuning::kAutoComputeRounds; ++round) {
    const ScreenMap map = MeasureMap(fresh, pixels);
    screenColours = Balanced(spread, screenLike, map, pixels.Width());
    if (map.Structure() > KeyerTuning::kCreaseStructure) LeaveOutCreases(screenColours, fresh.screen, map);
    fresh = FitToScreen(screenColours, model, map);
  }

  double background = std::isfinite(backgroundFactor) ? std::clamp(backgroundFactor, -0.5, 0.5) : 0.0;
  double foreground = std::isfinite(foregroundFactor) ? std::clamp(foregroundFactor, -0.5, 0.5) : 0.0;
  if (background != 0) {
    SurfaceMover::ScaleAll(fresh.inner, 1 + 2 * background);
    ModelOperations::KeepNested(fresh, ModelOperations::Surface::Inner);
  }
  if (foreground != 0) {
    SurfaceMover::ScaleAll(fresh.middle, 1 - foreground);
    ModelOperations::KeepNested(fresh, ModelOperations::Surface::Middle);
  }
  model = fresh;
  return true;
}

}  // namespace keyer
