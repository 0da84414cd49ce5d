#include "keyer/AutoCompute.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "SampleTargets.h"
#include "ScreenLight.h"
#include "SurfaceMover.h"
#include "keyer/ColourSpace.h"
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

// Brings each screen colour to the screen colour's brightness by the map of the screen's light around it,
// built from these same pixels as the keying pass builds its own: the inner surface then holds the
// screen's colours as the pass will look them up, and an unevenly lit screen no longer widens it towards
// darker colours (edges, hair, the subject's shadows).
void LiftToScreenBrightness(std::vector<uint32_t>& colours, const std::vector<uint64_t>& places,
                            const Vec3& screen, int width, int height) {
  const int columns = std::min(KeyerTuning::kLightMapColumns, width);
  const int rows = std::min(KeyerTuning::kLightMapRows, height);
  const int d = ScreenLight::ScreenChannel(screen);
  int32_t codeLevel[256];
  ScreenLight::FixedLevelsOfCodes(screen, codeLevel);
  std::vector<std::vector<int32_t>> found(size_t(columns) * rows);
  for (size_t i = 0; i < colours.size(); ++i) {
    const int x = static_cast<int>(places[i] & 0xFFFFFFFF), y = static_cast<int>(places[i] >> 32);
    const size_t cell = size_t(int64_t(y) * rows / height) * columns + size_t(int64_t(x) * columns / width);
    found[cell].push_back(codeLevel[(colours[i] >> (8 * d)) & 0xFF]);
  }
  const std::vector<int32_t> grid = ScreenLight::LevelGrid(found, columns, rows);
  if (grid.empty()) return;
  for (size_t i = 0; i < colours.size(); ++i) {
    const int x = static_cast<int>(places[i] & 0xFFFFFFFF), y = static_cast<int>(places[i] >> 32);
    const uint8_t* remap = ScreenLight::Remap(
        ScreenLight::Level(ScreenLight::FixedLevelAt(grid, columns, rows, width, height, x, y)));
    const uint32_t c = colours[i];
    colours[i] =
        remap[c & 0xFF] | uint32_t(remap[(c >> 8) & 0xFF]) << 8 | uint32_t(remap[(c >> 16) & 0xFF]) << 16;
  }
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
  std::vector<uint32_t> screenLike;
  std::vector<uint64_t> screenPlaces;
  for (size_t i = 0; i < colours.size(); ++i) {
    const uint32_t c = colours[i];
    double e = Excess(lin, c, d);
    if (e > 0 && e / std::max(Channel(lin, c, d), 1e-6) >= threshold) {
      screenLike.push_back(c);
      screenPlaces.push_back(spread.places[i]);
    }
  }
  if (screenLike.empty()) return false;

  // The screen colour: the median of each channel's codes.
  Vec3 screen;
  for (int ch = 0; ch < 3; ++ch) {
    uint32_t histogram[256] = {};
    for (uint32_t c : screenLike) ++histogram[(c >> (8 * ch)) & 0xFF];
    size_t half = screenLike.size() / 2, seen = 0;
    int code = 0;
    while (code < 255 && seen + histogram[code] <= half) seen += histogram[code++];
    screen[ch] = lin[code];
  }
  KeyerModel fresh = ModelOperations::AroundScreen(screen, model);
  LiftToScreenBrightness(screenLike, screenPlaces, fresh.screen, pixels.Width(), pixels.Height());

  // The most frequent screen colours, cell by cell, until they hold nearly all screen pixels: the
  // rare colours left out are mostly edges and strands of hair over the screen.
  constexpr int kCells = 64 * 64 * 64;
  std::vector<uint32_t> counts(kCells, 0);
  auto cellOf = [](uint32_t c) {
    return ((c & 0xFF) >> 2) << 12 | (((c >> 8) & 0xFF) >> 2) << 6 | ((c >> 16) & 0xFF) >> 2;
  };
  for (uint32_t c : screenLike) ++counts[cellOf(c)];
  std::vector<uint32_t> cells;
  for (uint32_t i = 0; i < kCells; ++i)
    if (counts[i]) cells.push_back(i);
  std::stable_sort(cells.begin(), cells.end(), [&](uint32_t a, uint32_t b) { return counts[a] > counts[b]; });
  std::vector<uint32_t> kept;
  const double wanted = KeyerTuning::kScreenCoverage * static_cast<double>(screenLike.size());
  double covered = 0;
  for (uint32_t cell : cells) {
    if (covered >= wanted) break;
    covered += counts[cell];
    uint32_t r = (cell >> 12) << 2, g = ((cell >> 6) & 63) << 2, b = (cell & 63) << 2;
    kept.push_back(r | (g << 8) | (b << 16));
  }
  auto targets = SampleTargets::CellCorners(kept, fresh.screen, SampleTargets::Keep::Farthest);
  SurfaceMover::Grow(fresh.inner, targets, [](const Target& t) { return t.distance + kMargin; });
  ModelOperations::KeepNested(fresh, ModelOperations::Surface::Inner);

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
