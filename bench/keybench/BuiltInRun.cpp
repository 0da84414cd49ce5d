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
#include <string>
#include <vector>

namespace keybench {

namespace {

// The share of the opaque subject keyed as holes, and of the bare screen keyed as subject, that an
// operator would still have to paint out by hand.
constexpr double kRateLimit = 0.05;
// Band SAD on the green reference at most this share of the naive keyer's, with script A and with B.
constexpr double kReferenceBandSadShare = 0.5;
// Speed: megapixels per second per core on all cores, and the all-core rate against the cores times
// the one-core rate.
constexpr double kMpsPerCore = 50.0;
constexpr double kCoreScaling = 0.6;

// "value <= limit met" or "value > limit missed by how much".
std::string Verdict(double value, double limit, const char* format = "%.5f") {
  char v[32], l[32], line[160];
  std::snprintf(v, sizeof v, format, value);
  std::snprintf(l, sizeof l, format, limit);
  if (value <= limit)
    std::snprintf(line, sizeof line, "%s <= %s met", v, l);
  else
    std::snprintf(line, sizeof line, "%s >  %s missed by %.3g (%.0f%%)", v, l, value - limit,
                  limit > 0 ? 100.0 * (value - limit) / limit : 100.0);
  return line;
}

// The same, for a figure that must reach a floor.
std::string FloorVerdict(double value, double floor) {
  char line[160];
  if (value >= floor)
    std::snprintf(line, sizeof line, "%.1f >= %.1f met", value, floor);
  else
    std::snprintf(line, sizeof line, "%.1f <  %.1f missed by %.1f (%.0f%%)", value, floor, floor - value,
                  floor > 0 ? 100.0 * (floor - value) / floor : 100.0);
  return line;
}

struct RateRow {
  std::string scene, script;
  MatteScores ours, naive;
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
  MatteScores greenNaive;
  std::map<std::string, int> worse;  // by script: figures where our keyer is not better than the naive one
  std::vector<RateRow> rates;
  SpeedFigures speed;
  bool timed = false;
  for (const SceneSpec& spec : SceneCatalog::BuiltIn()) {
    const Scene scene = SceneGenerator::Generate(spec, JpegRoundTrip(folder));
    if (spec.speedOnly) {
      speed = SpeedSection(table).Run(scene);
      timed = true;
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
    if (spec.name == "green") greenNaive = naiveScores;

    const ZvkBitmap composite = ZvkBitmap::FromImage(scene.composite);
    for (ScriptKind kind : {ScriptKind::A, ScriptKind::B, ScriptKind::C}) {
      const std::string name = SceneCatalog::ScriptName(kind);
      const std::vector<KeyerCall> calls = SceneCatalog::Script(scene, kind);
      PngWriter::WriteText(base + "-script-" + name + ".txt", OperationScript::Format(calls));
      const OurKeying ours = OurKeyer::Key(composite, calls);
      PngWriter::Write(base + "-matte-" + name + ".png", ours.output.matte);
      PngWriter::Write(base + "-colour-" + name + ".png", ours.output.foreground);
      const MatteScores scores = scorer.Score(ours.output);
      table.Row(spec.name, name, "ours", scores, ours.applyMps);
      table.Ratio(spec.name, name, scores, naiveScores);
      for (const std::string& note : ours.script.notes) table.Note("  " + note);
      for (auto figure : kFigures)
        if (!(scores.*figure < naiveScores.*figure)) ++worse[name];
      if (spec.name == "green") green[name] = scores;
      rates.push_back(RateRow{spec.name, name, scores, naiveScores});
    }
  }

  table.Note("goals:");
  int worseAll = 0;
  std::string byScript;
  for (const auto& [script, count] : worse) {
    worseAll += count;
    byScript += (byScript.empty() ? "" : ", ") + script + " " + std::to_string(count);
  }
  table.Note("  figures not better than the naive keyer's, every scene, scripts A, B and C: " +
             Verdict(worseAll, 0, "%.0f") + " (" + byScript + ")");
  for (const char* script : {"A", "B"}) {
    if (!green.count(script)) continue;
    table.Note(std::string("  green, script ") + script + ", band SAD at most half the naive keyer's: " +
               Verdict(green[script].bandSad, kReferenceBandSadShare * greenNaive.bandSad, "%.3f"));
  }
  table.Note("  holes and leaks, each at most 0.05 and not above the naive keyer's:");
  int ratesMissed = 0;
  for (const RateRow& row : rates) {
    if (row.script == "C") continue;
    const double holeLimit = std::min(kRateLimit, row.naive.holeRate);
    const double leakLimit = std::min(kRateLimit, row.naive.leakRate);
    ratesMissed += (row.ours.holeRate > holeLimit) + (row.ours.leakRate > leakLimit);
    char name[48];
    std::snprintf(name, sizeof name, "    %-10s %s", row.scene.c_str(), row.script.c_str());
    table.Note(std::string(name) + "  holes " + Verdict(row.ours.holeRate, holeLimit, "%.4f") + ";  leaks " +
               Verdict(row.ours.leakRate, leakLimit, "%.4f"));
  }
  table.Note("    rates over their limit: " + std::to_string(ratesMissed));
  if (timed) {
    table.Note("  speed per core on all " + std::to_string(speed.cores) +
               " cores (MP/s): " + FloorVerdict(speed.allCoresMps / speed.cores, kMpsPerCore));
    if (speed.oneCoreMps > 0)
      table.Note("  all-core rate against cores x one-core rate x 0.6 (MP/s): " +
                 FloorVerdict(speed.allCoresMps, kCoreScaling * speed.cores * speed.oneCoreMps));
    else
      table.Note("  all-core rate against the one-core rate: not measured (the process cannot be pinned)");
  }
  table.Note("scene files written to " + folder);
  return 0;
}

}  // namespace keybench
