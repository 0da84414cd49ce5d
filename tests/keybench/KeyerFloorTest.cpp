// The floor of the keying benchmark: on the reference scene at a reduced size, script B run through
// IChromaKeyer and applied through the image library's IKeyerState keys better than the naive
// colour-difference keyer on every measure. Figures and goals live in the benchmark, not here.
#include "MatteScorer.h"
#include "NaiveKeyer.h"
#include "OurKeyer.h"
#include "SceneCatalog.h"
#include "SceneGenerator.h"

#include <keyer/KeyerCreation.h>

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <string>

using namespace keybench;

namespace {

// States of this test go to a folder of its own, removed afterwards.
class StateFolder {
 public:
  StateFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "keybench-floor-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
    SetKeyerStateFolder(path_.c_str());
  }
  ~StateFolder() {
    SetKeyerStateFolder(nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
          DeleteFileA((path_ + "\\" + found.cFileName).c_str());
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
  }

 private:
  std::string path_;
};

}  // namespace

TEST(KeyerFloor, ScriptBOnTheReferenceSceneBeatsTheNaiveKeyerOnEveryMeasure) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
  {
    const StateFolder folder;
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
