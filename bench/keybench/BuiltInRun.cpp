#include "BuiltInRun.h"

#include "JpegRoundTrip.h"
#include "MatteScorer.h"
#include "NaiveKeyer.h"
#include "OperationScript.h"
#include "OurKeyer.h"
#include "PngWriter.h"
#include "SceneCatalog.h"
#include "SceneGenerator.h"
#include "ScoreTable.h"
#include "SpeedSection.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <chrono>
#include <map>
#include <stdexcept>

namespace keybench {

namespace {

struct Goal {
  const char* name;
  double limit;
  double MatteScores::*figure;
};

constexpr Goal kGoals[] = {
    {"band SAD", 3.0, &MatteScores::bandSad},
    {"band MSE", 0.004, &MatteScores::bandMse},
    {"connectivity", 3.0, &MatteScores::connectivity},
    {"whole-image SAD", 4.0, &MatteScores::imageSad},
    {"foreground error", 0.002, &MatteScores::foregroundError},
};

constexpr double MatteScores::*kFigures[] = {
    &MatteScores::bandSad,  &MatteScores::bandMse,  &MatteScores::gradient,       &MatteScores::connectivity,
    &MatteScores::imageSad, &MatteScores::imageMse, &MatteScores::foregroundError};

void MakeFolder(const std::string& folder) {
  if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    throw std::runtime_error(folder + ": cannot create the folder");
}

}  // namespace

int BuiltInRun::Run(const std::string& folder) {
  MakeFolder(folder);
  const ScoreTable table;
  table.Header();
  std::map<std::string, MatteScores> green;  // the reference scene's rows, by script, for the goals
  int worse = 0;                             // figures where our keyer is not better than the naive one
  for (const SceneSpec& spec : SceneCatalog::BuiltIn()) {
    const Scene scene = SceneGenerator::Generate(spec, JpegRoundTrip(folder));
    if (spec.speedOnly) {
      SpeedSection(table).Run(scene);
      continue;
    }
    const std::string base = folder + "/" + spec.name;
    PngWriter::Write(base + "-composite.png", scene.composite);
    PngWriter::Write(base + "-alpha.png", scene.trueAlpha);
    PngWriter::Write(base + "-foreground.png", scene.trueForeground);

    const MatteScorer scorer(scene.trueAlpha, scene.trueForeground);
    const NaiveKeyer naiveKeyer(NaiveKeyer::MedianColour(scene.composite, scene.screenPixels), spec.screen);
    const auto naiveStart = std::chrono::steady_clock::now();
    const KeyerOutput naive = naiveKeyer.Key(scene.composite);
    const double naiveSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - naiveStart).count();
    PngWriter::Write(base + "-naive-matte.png", naive.matte);
    const MatteScores naiveScores = scorer.Score(naive);
    table.Row(spec.name, "-", "naive", naiveScores, scene.composite.PixelCount() / 1e6 / naiveSeconds);

    const ZvkBitmap composite = ZvkBitmap::FromImage(scene.composite);
    for (ScriptKind kind : {ScriptKind::A, ScriptKind::B, ScriptKind::C}) {
      const std::string name = SceneCatalog::ScriptName(kind);
      const std::vector<KeyerCall> calls = SceneCatalog::Script(scene, kind);
      PngWriter::WriteText(base + "-script-" + name + ".txt", OperationScript::Format(calls));
      const OurKeying ours = OurKeyer::Key(composite, calls);
      PngWriter::Write(base + "-matte-" + name + ".png", ours.output.matte);
      const MatteScores scores = scorer.Score(ours.output);
      table.Row(spec.name, name, "ours", scores, ours.applyMps);
      table.Ratio(spec.name, name, scores, naiveScores);
      for (const std::string& note : ours.script.notes) table.Note("  " + note);
      for (auto figure : kFigures)
        if (!(scores.*figure < naiveScores.*figure)) ++worse;
      if (spec.name == "green") green[name] = scores;
    }
  }

  table.Note("goals on the green reference, the better of scripts B and C:");
  for (const Goal& goal : kGoals) {
    double best = 1e300;
    for (const char* script : {"B", "C"})
      if (green.count(script)) best = std::min(best, green[script].*(goal.figure));
    char line[160];
    if (best <= goal.limit)
      std::snprintf(line, sizeof line, "  %-17s %10.5f <= %-8g met", goal.name, best, goal.limit);
    else
      std::snprintf(line, sizeof line, "  %-17s %10.5f >  %-8g missed by %.5f (%.0f%%)", goal.name, best,
                    goal.limit, best - goal.limit, 100.0 * (best - goal.limit) / goal.limit);
    table.Note(line);
  }
  table.Note("  figures where our keyer is not better than the naive keyer: " + std::to_string(worse));
  table.Note("scene files written to " + folder);
  return 0;
}

}  // namespace keybench
