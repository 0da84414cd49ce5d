#include "SceneCatalog.h"
#include "SceneGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace keybench;

namespace {

SceneSpec Small(const std::string& name) {
  for (SceneSpec spec : SceneCatalog::BuiltIn(512, 384))
    if (spec.name == name) return spec;
  throw std::logic_error("no scene " + name);
}

bool AllOf(const FloatImage& alpha, const PixelRect& r, float value) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (alpha.At(x, y) != value) return false;
  return true;
}

}  // namespace

TEST(SceneGenerator, TheSameSeedGivesTheSameBytesAndAnotherSeedOthers) {
  const SceneSpec spec = Small("green");
  const Scene a = SceneGenerator::Generate(spec);
  const Scene b = SceneGenerator::Generate(spec);
  EXPECT_EQ(a.composite.Samples(), b.composite.Samples());
  EXPECT_EQ(a.trueAlpha.Samples(), b.trueAlpha.Samples());
  EXPECT_EQ(a.trueForeground.Samples(), b.trueForeground.Samples());
  SceneSpec other = spec;
  other.seed += 1;
  EXPECT_NE(SceneGenerator::Generate(other).composite.Samples(), a.composite.Samples());
}

TEST(SceneGenerator, ReferenceSceneHasSoftEdgesHairVeilAndTrueLandmarks) {
  const Scene scene = SceneGenerator::Generate(Small("green"));
  ASSERT_EQ(scene.composite.Width(), 512);
  ASSERT_EQ(scene.composite.Height(), 384);
  size_t soft = 0, veil = 0;
  for (float a : scene.trueAlpha.Samples()) {
    soft += a > 0.002f && a < 0.998f;
    veil += a > 0.449f && a < 0.451f;
  }
  EXPECT_GT(soft, 5000u);
  EXPECT_GT(veil, 500u);  // the veil over the screen
  const SceneLandmarks& m = scene.landmarks;
  EXPECT_TRUE(AllOf(scene.trueAlpha, m.screenPatch, 0.0f));
  EXPECT_TRUE(AllOf(scene.trueAlpha, m.darkCorner, 0.0f));
  EXPECT_TRUE(AllOf(scene.trueAlpha, m.shirt, 1.0f));
  EXPECT_TRUE(AllOf(scene.trueAlpha, m.skin, 1.0f));
  EXPECT_FALSE(m.garbage.has_value());
  // The screen shows green: its median leans to green.
  const size_t i = static_cast<size_t>(m.screenPatch.top) * 512 + m.screenPatch.left;
  EXPECT_GT(scene.composite.Samples()[i * 3 + 1], scene.composite.Samples()[i * 3] + 60);
  EXPECT_THROW(SceneGenerator::Generate(Small("jpeg")), std::invalid_argument);  // needs a codec hook
}

TEST(SceneGenerator, LampStandSceneHasAGarbageAreaOverTheStripAndEveryScriptUsesIt) {
  const Scene scene = SceneGenerator::Generate(Small("lampstand"));
  ASSERT_TRUE(scene.landmarks.garbage.has_value());
  const AreaRecord g = *scene.landmarks.garbage;
  EXPECT_GT(g.left, 850);
  EXPECT_EQ(g.right, 1000);
  // The strip is not screen, and the subject stays clear of the garbage area.
  const int stripX = scene.composite.Width() - 5;
  EXPECT_FALSE(scene.screenPixels[static_cast<size_t>(100) * scene.composite.Width() + stripX]);
  const int left = g.left * scene.composite.Width() / 1000;
  for (int y = 0; y < scene.composite.Height(); ++y)
    for (int x = left; x < scene.composite.Width(); ++x) ASSERT_EQ(scene.trueAlpha.At(x, y), 0.0f);
  for (ScriptKind kind : {ScriptKind::A, ScriptKind::B, ScriptKind::C})
    EXPECT_EQ(SceneCatalog::Script(scene, kind).back().op, KeyerOp::GarbageArea);
  EXPECT_EQ(SceneCatalog::Script(scene, ScriptKind::C).size(), 5u);
}

// Each studio fault keeps the operator's sample places true (screen patch and corner bare screen, shirt
// and skin opaque) and shows itself where it should: the fault is in the screen's light or the subject,
// never in the truth of what is screen.
TEST(SceneGenerator, StudioFaultScenesKeepTrueLandmarksAndShowTheirFault) {
  const Scene green = SceneGenerator::Generate(Small("green"));
  const auto meanGreen = [](const Scene& scene, const PixelMask& where) {
    double sum = 0.0;
    size_t count = 0;
    for (size_t i = 0; i < where.size(); ++i)
      if (where[i]) {
        sum += scene.composite.Samples()[i * 3 + 1];
        ++count;
      }
    return count ? sum / count : 0.0;
  };
  for (const char* name :
       {"shadow", "creased", "underexp", "hotspot", "yellowgrn", "teal", "veil", "plant"}) {
    SCOPED_TRACE(name);
    const Scene scene = SceneGenerator::Generate(Small(name));
    const SceneLandmarks& m = scene.landmarks;
    EXPECT_TRUE(AllOf(scene.trueAlpha, m.screenPatch, 0.0f));
    EXPECT_TRUE(AllOf(scene.trueAlpha, m.darkCorner, 0.0f));
    EXPECT_TRUE(AllOf(scene.trueAlpha, m.shirt, 1.0f));
    EXPECT_TRUE(AllOf(scene.trueAlpha, m.skin, 1.0f));
    EXPECT_GT(std::count(scene.screenPixels.begin(), scene.screenPixels.end(), 1), 50000);
  }
  // The shadow of the head darkens the bare screen to its lower right, against the same scene unshaded.
  const Scene shadow = SceneGenerator::Generate(Small("shadow"));
  SceneSpec unshadedSpec = Small("shadow");
  unshadedSpec.castShadow = false;
  const Scene unshaded = SceneGenerator::Generate(unshadedSpec);
  PixelMask shaded(shadow.screenPixels.size(), 0);
  for (int y = 140; y < 185; ++y)
    for (int x = 318; x < 342; ++x) {
      const size_t i = static_cast<size_t>(y) * 512 + x;
      shaded[i] = shadow.screenPixels[i];
    }
  EXPECT_LT(meanGreen(shadow, shaded), 0.85 * meanGreen(unshaded, shaded));
  // The plant adds opaque structure beside the subject that the reference does not have.
  const Scene plant = SceneGenerator::Generate(Small("plant"));
  size_t opaque = 0;
  for (int y = 0; y < 384; ++y)
    for (int x = 440; x < 512; ++x)
      opaque += plant.trueAlpha.At(x, y) == 1.0f && green.trueAlpha.At(x, y) == 0.0f;
  EXPECT_GT(opaque, 300u);
}

// What the scores rest on, in every scene: the opaque subject's true colour is what the camera shows of it
// away from spill (the exposure included), and the corner script B cleans is the darkest bare corner the
// camera shows, the studio's faults included.
TEST(SceneGenerator, TruthsMatchWhatTheCameraShows) {
  const auto mean = [](const Scene& scene, const PixelRect& r, int channel, bool truth) {
    double sum = 0.0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        sum += truth ? scene.trueForeground.At(x, y, channel)
                     : scene.composite.Samples()[(static_cast<size_t>(y) * 512 + x) * 3 + channel] / 255.0;
    return sum / ((r.right - r.left) * (r.bottom - r.top));
  };
  for (const SceneSpec& spec : SceneCatalog::BuiltIn(512, 384)) {
    if (spec.speedOnly || spec.jpegRoundTrip) continue;
    SCOPED_TRACE(spec.name);
    const Scene scene = SceneGenerator::Generate(spec);
    for (const PixelRect& opaque : {scene.landmarks.shirt, scene.landmarks.skin})
      for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(mean(scene, opaque, c, false), mean(scene, opaque, c, true), 0.01);
    const int key = spec.screen == ScreenColour::Green ? 1 : 2;
    const double darkest = mean(scene, scene.landmarks.darkCorner, key, false);
    for (const PixelRect& corner : {PixelRect{5, 5, 25, 25}, PixelRect{487, 5, 507, 25},
                                    PixelRect{5, 359, 25, 379}, PixelRect{487, 359, 507, 379}}) {
      bool bare = true;
      for (int y = corner.top; y < corner.bottom; ++y)
        for (int x = corner.left; x < corner.right; ++x) bare = bare && scene.screenPixels[y * 512 + x];
      if (bare) EXPECT_LE(darkest, mean(scene, corner, key, false) + 1.0 / 255);
    }
  }
}
