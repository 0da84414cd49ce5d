// The floor of the keying benchmark: on the reference scene at a reduced size, script A (AutoCompute
// alone) and script B (samples), each run through IChromaKeyer and applied through the image library's
// IKeyerState, key better than the naive colour-difference keyer on every measure. Figures and goals live
// in the benchmark, not here.
#include "MatteScorer.h"
#include "NaiveKeyer.h"
#include "OurKeyer.h"
#include "SceneCatalog.h"
#include "SceneGenerator.h"
#include "StateFolder.h"

#include <gtest/gtest.h>
#include <objbase.h>

using namespace keybench;

namespace {

struct ReferenceScene {
  ReferenceScene()
      : scene(SceneGenerator::Generate(SceneCatalog::BuiltIn(512, 384).front())),
        scorer(scene.trueAlpha, scene.trueForeground),
        naive(scorer.Score(
            NaiveKeyer(NaiveKeyer::MedianColour(scene.composite, scene.screenPixels), scene.spec.screen)
                .Key(scene.composite))) {}
  Scene scene;
  MatteScorer scorer;
  MatteScores naive;
};

const ReferenceScene& Reference() {
  static const ReferenceScene reference;
  return reference;
}

class KeyerFloor : public testing::TestWithParam<ScriptKind> {};

}  // namespace

TEST_P(KeyerFloor, OnTheReferenceSceneBeatsTheNaiveKeyerOnEveryMeasure) {
  const ReferenceScene& reference = Reference();
  ASSERT_EQ(reference.scene.spec.name, "green");
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
  {
    const StateFolder folder("keybench-floor-");
    const OurKeying ours = OurKeyer::Key(ZvkBitmap::FromImage(reference.scene.composite),
                                         SceneCatalog::Script(reference.scene, GetParam()));
    EXPECT_TRUE(ours.script.notes.empty());
    const MatteScores s = reference.scorer.Score(ours.output);
    const MatteScores& naive = reference.naive;
    EXPECT_LT(s.bandSad, naive.bandSad);
    EXPECT_LT(s.bandMse, naive.bandMse);
    EXPECT_LT(s.gradient, naive.gradient);
    EXPECT_LT(s.connectivity, naive.connectivity);
    EXPECT_LT(s.imageSad, naive.imageSad);
    EXPECT_LT(s.imageMse, naive.imageMse);
    EXPECT_LT(s.foregroundError, naive.foregroundError);
  }
  CoUninitialize();
}

INSTANTIATE_TEST_SUITE_P(Scripts, KeyerFloor, testing::Values(ScriptKind::A, ScriptKind::B),
                         [](const testing::TestParamInfo<ScriptKind>& info) {
                           return std::string("Script") + SceneCatalog::ScriptName(info.param);
                         });
