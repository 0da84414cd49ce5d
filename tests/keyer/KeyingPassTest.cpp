// Applying a state with protect and garbage areas to pixel rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <thread>

#include "KeyerTestSupport.h"
#include "keyer/ColourSpace.h"
#include "keyer/KeyingPass.h"
#include "keyer/LutGeometry.h"
#include "keyer/ModelOperations.h"
#include "workers/WorkerPool.h"

using namespace keyertest;

namespace {

std::shared_ptr<const keyer::KeyerState> GreenState(const Scene& scene) {
  IChromaKeyer* k = NewKeyer();
  IUnknown* source = NewPixelSource(scene);
  EXPECT_EQ(k->AutoCompute(source, 0, 0), S_OK);
  source->Release();
  auto state = SavedState(k);
  k->Release();
  return state;
}

struct Output {
  std::vector<uint8_t> bgr, alpha;
};

Output Apply(const keyer::KeyerState* state, const Scene& s, const keyer::KeyerAreas* areas,
             keyer::AreaPlacement placement = {}) {
  Output o{std::vector<uint8_t>(s.bgr.size()), std::vector<uint8_t>(s.truth.size())};
  keyer::ApplyState(state, s.bgr.data(), s.width * 3, s.width, s.height, o.bgr.data(), s.width * 3,
                    o.alpha.data(), s.width, areas, placement);
  return o;
}

// Planes that key the scene's pixels into o.
keyer::KeyingPlanes PlanesInto(const Scene& s, Output& o) {
  return {s.bgr.data(), s.width * 3, o.bgr.data(), s.width * 3, o.alpha.data(), s.width, s.width, s.height};
}

// The composite with the screen's pixels scattered by up to `spread` codes per channel, as an underexposed
// screen's sensor noise scatters them once brightened; 0 leaves the composite as it is.
Scene NoisyComposite(int spread, int width = 160, int height = 120) {
  Scene s = MakeComposite(false, width, height);
  uint32_t seed = 777;
  for (size_t i = 0; i < s.truth.size(); ++i)
    for (int c = 0; c < 3 && spread > 0 && s.truth[i] == kScreen; ++c) {
      seed = seed * 1664525u + 1013904223u;
      const int offset = int((seed >> 16) % uint32_t(2 * spread + 1)) - spread;
      s.bgr[i * 3 + c] = uint8_t(std::clamp(s.bgr[i * 3 + c] + offset, 0, 255));
    }
  return s;
}

// The composite scattered by spread, keyed by Auto Compute, with a protect ellipse on the left and a garbage
// rectangle on the right, apart in every row, and the one pass with both.
struct AreasOnScene {
  Scene scene;
  std::shared_ptr<const keyer::KeyerState> state;
  keyer::KeyerAreas areas;
  Output whole;
};

AreasOnScene TwoAreasOn(int spread) {
  AreasOnScene c{NoisyComposite(spread)};
  c.state = GreenState(c.scene);
  c.areas = keyer::KeyerAreas::Parse(" 1 100 100 300 400", " 0 800 100 1000 400");
  c.whole = Apply(c.state.get(), c.scene, &c.areas);
  return c;
}

}  // namespace

TEST(KeyingPass, GarbageClearsProtectRestoresAndProtectWins) {
  const Scene s = MakeComposite(false, 200, 100);
  auto state = GreenState(s);
  // Garbage over the left half, protect over a square in the middle that overlaps it.
  keyer::KeyerAreas areas =
      keyer::KeyerAreas::Parse(" 0 400 300 600 700", " 0 0 0 502 1000");  // right edge at x = 100.4
  Output plain = Apply(state.get(), s, nullptr);
  Output o = Apply(state.get(), s, &areas);
  auto at = [&](int x, int y) { return static_cast<size_t>(y) * s.width + x; };
  // Deep inside the garbage area only: alpha 0.
  EXPECT_EQ(o.alpha[at(40, 80)], 0);
  EXPECT_EQ(o.alpha[at(50, 50)], 0);
  // Inside protect (also inside garbage at x < 100): alpha 1 and the original colour.
  for (int x : {85, 99, 100, 115}) {
    EXPECT_EQ(o.alpha[at(x, 50)], 255) << x;
    for (int c = 0; c < 3; ++c) EXPECT_EQ(o.bgr[at(x, 50) * 3 + c], s.bgr[at(x, 50) * 3 + c]) << x;
  }
  // Outside both: as without areas.
  EXPECT_EQ(o.alpha[at(180, 10)], plain.alpha[at(180, 10)]);
  EXPECT_EQ(o.alpha[at(150, 80)], plain.alpha[at(150, 80)]);
  // The garbage edge (x = 100.4) is anti-aliased over one pixel outside protect.
  ASSERT_EQ(plain.alpha[at(100, 85)], 255) << "the shirt";
  int edge = o.alpha[at(100, 85)];
  EXPECT_GT(edge, 100);
  EXPECT_LT(edge, 200);
  EXPECT_EQ(o.alpha[at(99, 85)], 0);
  EXPECT_EQ(o.alpha[at(101, 85)], 255);
}

TEST(KeyingPass, EllipsesAreRoundAndSoftEdged) {
  Scene s = MakeComposite(false, 100, 100);
  keyer::KeyerAreas areas = keyer::KeyerAreas::Parse("", " 1 200 200 800 800");
  Output o = Apply(nullptr, s, &areas);
  EXPECT_EQ(o.alpha[50 * 100 + 50], 0);
  EXPECT_EQ(o.alpha[21 * 100 + 21], 255) << "the corner of the box lies outside the ellipse";
  int partial = 0;
  for (uint8_t a : o.alpha) partial += a > 0 && a < 255;
  EXPECT_GT(partial, 100);
  EXPECT_LT(partial, 400) << "one pixel wide edge";
}

TEST(KeyingPass, AreasFollowTheTurnOfTheBitmap) {
  // The original was 200 x 100; the keyed bitmap is it turned by a quarter (100 x 200).
  Scene turned = MakeComposite(false, 100, 200);
  keyer::KeyerAreas areas = keyer::KeyerAreas::Parse("", " 0 0 0 250 500");  // original x 0..50, y 0..50
  keyer::AreaPlacement quarter{200, 100, 900 / 3600.0 - 1};
  Output o = Apply(nullptr, turned, &areas, quarter);
  // (25, 25) of the original lands at (25, 175) of the turned bitmap.
  EXPECT_EQ(o.alpha[175 * 100 + 25], 0);
  EXPECT_EQ(o.alpha[25 * 100 + 25], 255);
  int covered = 0;
  for (uint8_t a : o.alpha) covered += a == 0;
  EXPECT_NEAR(covered, 50 * 50, 2 * 50 + 4);
  // No turn: the same area at the top left.
  Scene flat = MakeComposite(false, 200, 100);
  Output f = Apply(nullptr, flat, &areas, {200, 100, 0});
  EXPECT_EQ(f.alpha[25 * 200 + 25], 0);
}

// On a noisy screen the alpha is smoothed over neighbouring rows, so a range of rows keys the rows beside
// it too: the split below has ranges of one and of seven rows, whose neighbours belong to other threads.
TEST(KeyingPass, InPlaceAndSplitAcrossThreadsGiveTheSameResult) {
  for (int spread : {0, 12}) {
    SCOPED_TRACE(spread);
    const Scene s = NoisyComposite(spread);
    auto state = GreenState(s);
    keyer::KeyerAreas areas = keyer::KeyerAreas::Parse(" 1 100 100 400 400", " 0 800 0 1000 300");
    Output whole = Apply(state.get(), s, &areas);

    std::vector<uint8_t> inPlace = s.bgr, alpha(s.truth.size());
    keyer::ApplyState(state.get(), inPlace.data(), s.width * 3, s.width, s.height, inPlace.data(),
                      s.width * 3, alpha.data(), s.width, &areas);
    EXPECT_EQ(inPlace, whole.bgr);
    EXPECT_EQ(alpha, whole.alpha);

    Output split{std::vector<uint8_t>(s.bgr.size()), std::vector<uint8_t>(s.truth.size())};
    const keyer::KeyingPlanes planes = PlanesInto(s, split);
    keyer::KeyingPass pass(state.get(), &areas, keyer::AreaPlacement{}, planes);
    const int bounds[] = {0, 1, 8, 59, 60, 120};
    std::vector<std::thread> threads;
    for (int t = 0; t + 1 < int(std::size(bounds)); ++t)
      threads.emplace_back([&, t] { pass.RunRows(bounds[t], bounds[t + 1] - bounds[t]); });
    for (auto& t : threads) t.join();
    EXPECT_EQ(split.bgr, whole.bgr);
    EXPECT_EQ(split.alpha, whole.alpha);
  }
}

// A lone pixel of subject colour keys opaque on a clean screen; on a noisy one, where single pixels keyed
// above the screen are the screen's own noise, the smoothed alpha holds it to about a quarter.
TEST(KeyingPass, ALoneSpeckIsSmoothedOnlyOnANoisyScreen) {
  struct Case {
    int spread;
    uint8_t least, most;
  };
  for (const Case& c : {Case{0, 250, 255}, Case{12, 0, 90}}) {
    SCOPED_TRACE(c.spread);
    Scene s = NoisyComposite(c.spread);
    auto state = GreenState(s);
    const size_t speck = 100 * size_t(s.width) + 12;
    ASSERT_EQ(s.truth[speck], kScreen);
    s.bgr[speck * 3] = uint8_t(s.skin >> 16);
    s.bgr[speck * 3 + 1] = uint8_t(s.skin >> 8);
    s.bgr[speck * 3 + 2] = uint8_t(s.skin);
    const Output o = Apply(state.get(), s, nullptr);
    EXPECT_GE(o.alpha[speck], c.least);
    EXPECT_LE(o.alpha[speck], c.most);
  }
}

// A strand of hair one pixel wide is not noise: smoothing on a noisy screen averages it along its length,
// not across it, so it keeps most of its cover whichever way it runs, where a lone speck keeps a quarter.
TEST(KeyingPass, AStrandKeepsItsCoverOnANoisyScreen) {
  struct Case {
    int dx, dy;
  };
  for (const Case& c : {Case{0, 1}, Case{1, 0}, Case{1, 1}, Case{1, -1}}) {
    SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
    Scene s = NoisyComposite(12);
    auto state = GreenState(s);
    const int cx = 14, cy = 100;
    for (int i = -6; i <= 6; ++i) {
      const size_t at = size_t(cy + i * c.dy) * size_t(s.width) + size_t(cx + i * c.dx);
      ASSERT_EQ(s.truth[at], kScreen);
      s.bgr[at * 3] = uint8_t(s.skin >> 16);
      s.bgr[at * 3 + 1] = uint8_t(s.skin >> 8);
      s.bgr[at * 3 + 2] = uint8_t(s.skin);
    }
    const Output o = Apply(state.get(), s, nullptr);
    EXPECT_GE(o.alpha[size_t(cy) * size_t(s.width) + cx], 200);
  }
}

// Putting areas on an already keyed picture touches only the runs they cover: the gap between two areas
// in one row is neither keyed again nor reported, so a caller's per-run work (such as weighing in an alpha
// the picture had) reaches each pixel the areas rewrote exactly once and no other.
TEST(KeyingPass, AreaRowsKeyOnlyTheRunsTheAreasCover) {
  for (int spread : {0, 12}) {
    SCOPED_TRACE(spread);
    const AreasOnScene c = TwoAreasOn(spread);
    const Scene& s = c.scene;
    Output o = Apply(c.state.get(), s, nullptr);
    const size_t gap = 30 * 160 + 80, inProtect = 30 * 160 + 32, inGarbage = 30 * 160 + 150;
    const Output plain = o;
    o.alpha[gap] = 77;  // a mark the pass must leave alone
    const keyer::KeyingPlanes planes = PlanesInto(s, o);
    keyer::KeyingPass pass(c.state.get(), &c.areas, keyer::AreaPlacement{}, planes);
    std::vector<int> written(s.truth.size(), 0);
    pass.RunAreaRows(0, s.height, [&](int y, keyer::KeyingPass::Span run) {
      for (int x = run.first; x < run.end; ++x) ++written[size_t(y) * s.width + x];
    });
    EXPECT_EQ(o.alpha[gap], 77);
    EXPECT_EQ(written[gap], 0);
    EXPECT_EQ(written[inProtect], 1);
    EXPECT_EQ(written[inGarbage], 1);
    EXPECT_EQ(*std::max_element(written.begin(), written.end()), 1);
    o.alpha[gap] = plain.alpha[gap];
    EXPECT_EQ(o.bgr, c.whole.bgr);
    EXPECT_EQ(o.alpha, c.whole.alpha);
    // Every pixel the areas change lies in a reported run.
    for (size_t i = 0; i < written.size(); ++i)
      if (c.whole.alpha[i] != plain.alpha[i]) ASSERT_EQ(written[i], 1) << i;
  }
}

// A keyed bitmap puts areas on with the measure of the screen its keying without areas made, instead of
// measuring again: the result is the one pass with both. A measure made for another size or state is not
// taken: such a pass measures its own and keys as if given none.
TEST(KeyingPass, AreaRowsKeyWithTheMeasureOfThePassWithoutAreas) {
  for (int spread : {0, 12}) {
    SCOPED_TRACE(spread);
    const AreasOnScene c = TwoAreasOn(spread);
    const Scene& s = c.scene;
    Output o{std::vector<uint8_t>(s.bgr.size()), std::vector<uint8_t>(s.truth.size())};
    const keyer::KeyingPlanes planes = PlanesInto(s, o);
    const keyer::KeyingPass plain(c.state.get(), nullptr, keyer::AreaPlacement{}, planes);
    plain.Run();
    ASSERT_NE(plain.Measure(), nullptr);
    const keyer::KeyingPass layered(c.state.get(), &c.areas, keyer::AreaPlacement{}, planes, plain.Measure());
    EXPECT_EQ(layered.Measure(), plain.Measure());
    layered.RunAreaRows(0, s.height);
    EXPECT_EQ(o.bgr, c.whole.bgr);
    EXPECT_EQ(o.alpha, c.whole.alpha);

    // The top rows alone, given the whole picture's measure, and the same state read again.
    keyer::KeyingPlanes top = planes;
    top.height = s.height / 3;
    Output given = o, own = o;
    top.colour = given.bgr.data();
    top.alpha = given.alpha.data();
    const keyer::KeyingPass shorter(c.state.get(), &c.areas, keyer::AreaPlacement{}, top, plain.Measure());
    EXPECT_NE(shorter.Measure(), plain.Measure());
    shorter.Run();
    top.colour = own.bgr.data();
    top.alpha = own.alpha.data();
    keyer::KeyingPass(c.state.get(), &c.areas, keyer::AreaPlacement{}, top).Run();
    EXPECT_EQ(given.bgr, own.bgr);
    EXPECT_EQ(given.alpha, own.alpha);
    const auto again = keyer::KeyerState::FromModel(c.state->Model());
    EXPECT_NE(
        keyer::KeyingPass(again.get(), &c.areas, keyer::AreaPlacement{}, planes, plain.Measure()).Measure(),
        plain.Measure());
  }
}

// The table is built on the worker pool; when its threads cannot be started, the calling thread builds it
// alone, to the same nodes.
TEST(KeyingPass, TheTableIsTheSameWhenThreadsCannotStart) {
  const Scene s = MakeComposite(false, 96, 72);
  auto state = GreenState(s);
  const std::vector<uint64_t> threaded(state->Table(), state->Table() + keyer::LutGeometry::kNodes);
  for (int allowed : {0, 1}) {
    workers::WorkerPool::LimitThreadStarts(allowed);
    auto alone = keyer::KeyerState::FromModel(state->Model());
    workers::WorkerPool::LimitThreadStarts(-1);
    ASSERT_EQ(threaded, std::vector<uint64_t>(alone->Table(), alone->Table() + keyer::LutGeometry::kNodes))
        << allowed;
  }
}

TEST(KeyingPass, OneColourFromTheNodesAroundItEqualsTheWholeTable) {
  const Scene s = MakeComposite(false, 96, 72);
  auto state = GreenState(s);
  uint32_t seed = 99;
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    uint32_t colour = seed >> 8;
    if (i < static_cast<int>(s.truth.size()))  // the scene's own colours too
      colour = s.bgr[i * 3 + 2] | (s.bgr[i * 3 + 1] << 8) | (static_cast<uint32_t>(s.bgr[i * 3]) << 16);
    uint32_t whole = 0, cell = 0;
    uint8_t a = 0, b = 0;
    state->KeyColour(colour, whole, a);
    keyer::KeyerState::KeyColourOfModel(state->Model(), colour, cell, b);
    ASSERT_EQ(whole, cell) << std::hex << colour;
    ASSERT_EQ(a, b) << std::hex << colour;
  }
}

// The same dim green is screen where the whole screen is that dim, and mostly subject (a dark strand
// before a bright screen) inside a brightly lit screen, even after a dim screen corner was cleaned as
// background.
TEST(KeyingPass, KeysEachPixelAgainstTheScreenAroundIt) {
  const uint32_t bright = RGB(70, 190, 80);
  const keyer::Vec3 lin = keyer::ColourSpace::LinearOfColorRef(bright);
  auto code = [](double linear) {
    return static_cast<int>(std::lround(keyer::ColourSpace::ToEncoded(linear) * 255));
  };
  const uint32_t dim = RGB(code(0.45 * lin.r), code(0.45 * lin.g), code(0.45 * lin.b));
  keyer::KeyerModel model;
  keyer::ModelOperations::SelectBackgroundColor(model, {bright});
  keyer::ModelOperations::CleanBackground(model, {dim});
  const auto state = keyer::KeyerState::FromModel(model);
  const int w = 256, h = 192;  // map cells of 8 x 8 pixels
  auto key = [&](bool patchOnly) {
    std::vector<uint8_t> bgr(size_t(w) * h * 3), out(bgr.size()), alpha(size_t(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool inPatch = x >= 130 && x < 133 && y >= 98 && y < 101;  // a strand, well inside one cell
        const uint32_t c = !patchOnly || inPatch ? dim : bright;
        uint8_t* p = &bgr[(size_t(y) * w + x) * 3];
        p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
      }
    keyer::ApplyState(state.get(), bgr.data(), w * 3, w, h, out.data(), w * 3, alpha.data(), w);
    return alpha;
  };
  const std::vector<uint8_t> allDim = key(false);
  EXPECT_EQ(0, *std::max_element(allDim.begin(), allDim.end()));
  const std::vector<uint8_t> patch = key(true);
  EXPECT_EQ(0, patch[0]);
  EXPECT_GT(patch[99 * w + 131], 128);
  uint32_t colour = 0;
  uint8_t a = 255;
  state->KeyColour(dim, colour, a);  // one pixel alone is its own screen
  EXPECT_EQ(0, a);
}

// A screen whose hue drifts across the frame, yellower on the left and bluer on the right, with strands of a
// grey subject half over it: keyed from a patch in the middle, the screen keys away wholly at both ends
// (keyed against the middle's colour alone, it kept about 5 % there) and the strands keep no tint of the
// screen behind them.
TEST(KeyingPass, AScreenWhoseHueDriftsLeavesNoTint) {
  const int w = 256, h = 64;
  auto code = [](double linear) {
    return uint8_t(std::lround(keyer::ColourSpace::ToEncoded(std::clamp(linear, 0.0, 1.0)) * 255));
  };
  Scene s;
  s.width = w, s.height = h;
  s.bgr.resize(size_t(w) * h * 3);
  s.truth.assign(size_t(w) * h, kScreen);
  const double grey = 0.2;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double t = double(x) / (w - 1);  // 0 at the left, 1 at the right
      // Red and blue each 30 % off the middle's at the ends, the other way round: a drift one set of lamps
      // can give a backing.
      const double screen[3] = {0.06 * std::pow(1.3, 2 * t - 1), 0.45, 0.07 * std::pow(1.3, 1 - 2 * t)};
      const bool strand = x % 32 == 16 && y >= 16;
      uint8_t* p = &s.bgr[(size_t(y) * w + x) * 3];
      for (int c = 0; c < 3; ++c) p[c] = code(strand ? 0.5 * screen[c] + 0.5 * grey : screen[c]);
      if (strand) s.truth[size_t(y) * w + x] = kMixed;
    }
  std::vector<uint32_t> patch;
  for (int y = 0; y < 16; ++y)
    for (int x = 120; x < 136; ++x) {
      const uint8_t* p = &s.bgr[(size_t(y) * w + x) * 3];
      patch.push_back(p[2] | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16);
    }
  keyer::KeyerModel model;
  keyer::ModelOperations::SelectBackgroundColor(model, patch);
  const auto state = keyer::KeyerState::FromModel(model);
  const Output o = Apply(state.get(), s, nullptr);
  for (int x : {2, w / 2, w - 3}) EXPECT_EQ(o.alpha[size_t(8) * w + x], 0) << "screen at " << x;
  for (int x : {16, 240}) {
    const size_t at = size_t(40) * w + x;
    EXPECT_GT(o.alpha[at], 64) << "strand at " << x;
    const int blue = o.bgr[at * 3], red = o.bgr[at * 3 + 2];
    EXPECT_LE(std::abs(blue - red), 6) << "strand at " << x << ": blue " << blue << ", red " << red;
  }
}
