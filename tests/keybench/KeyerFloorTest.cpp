// The floor of the keying benchmark: on the reference scene at a reduced size, script B run through
// IChromaKeyer and applied through the image library's IKeyerState keys better than the naive
// colour-difference keyer on every measure. Figures and goals live in the benchmark, not here.
#include "MatteScorer.h"
#include "NaiveKeyer.h"
#include "OurKeyer.h"
#include "SceneCatalog.h"
#include "SceneGenerator.h"
#include "StateFolder.h"

#include <gtest/gtest.h>
#include <objbase.h>

using namespace keybench;

TEST(KeyerFloor, ScriptBOnTheReferenceSceneBeatsTheNaiveKeyerOnEveryMeasure) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
  {
    const StateFolder folder("keybench-floor-");
    SceneSpec spec = SceneCatalog::BuiltIn(512, 384).front();
    ASSERT_EQ(spec.name, "green");
    const Scene scene = SceneGenerator::Generate(spec);
    const MatteScorer scorer(scene.trueAlpha, scene.trueForeground);
    const MatteScores naive =
        scorer.Score(NaiveKeyer(NaiveKeyer::MedianColour(scene.composite, scene.screenPixels), spec.screen)
                         .Key(scene.composite));
    const OurKeying ours =
        OurKeyer::Key(ZvkBitmap::FromImage(scene.composite), SceneCatalog::Script(scene, ScriptKind::B));
    EXPECT_TRUE(ours.script.notes.empty());
    const MatteScores s = scorer.Score(ours.output);
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
