// keybench: keys composites with known alpha and prints error measures and speed.
//
//   keybench [--scenes FOLDER]   built-in scenes; with --scenes, writes each scene's composite, truths,
//                                scripts and the naive matte there as PPM/PGM and text
#include "MatteScorer.h"
#include "NaiveKeyer.h"
#include "NetpbmWriter.h"
#include "OperationScript.h"
#include "SceneCatalog.h"
#include "SceneGenerator.h"
#include "ScoreTable.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

namespace {

using namespace keybench;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  if (!file) throw std::runtime_error("cannot write " + path);
}

void WriteSceneFiles(const std::string& folder, const Scene& scene, const KeyerOutput& naive) {
  const std::string base = folder + "/" + scene.spec.name;
  NetpbmWriter::Write(base + "-composite.ppm", scene.composite);
  NetpbmWriter::Write(base + "-alpha.pgm", scene.trueAlpha);
  NetpbmWriter::Write(base + "-foreground.ppm", scene.trueForeground);
  NetpbmWriter::Write(base + "-naive-matte.pgm", naive.matte);
  for (ScriptKind kind : {ScriptKind::A, ScriptKind::B, ScriptKind::C})
    WriteText(base + "-script-" + SceneCatalog::ScriptName(kind) + ".txt",
              OperationScript::Format(SceneCatalog::Script(scene, kind)));
}

// The naive keyer on one scene: its screen colour, its pass timed, its output.
KeyerOutput RunNaive(const Scene& scene, double& mps) {
  const NaiveKeyer keyer(NaiveKeyer::MedianColour(scene.composite, scene.screenPixels), scene.spec.screen);
  const auto start = std::chrono::steady_clock::now();
  KeyerOutput output = keyer.Key(scene.composite);
  mps = scene.composite.PixelCount() / 1e6 / Seconds(start);
  return output;
}

int RunBuiltIn(const std::string& sceneFolder) {
  ScoreTable table;
  table.Header();
  for (const SceneSpec& spec : SceneCatalog::BuiltIn()) {
    if (spec.jpegRoundTrip) {
      table.Note(spec.name + ": needs the image library's JPEG codec; not run yet");
      continue;
    }
    const auto start = std::chrono::steady_clock::now();
    const Scene scene = SceneGenerator::Generate(spec);
    const double generated = Seconds(start);
    double mps = 0.0;
    const KeyerOutput naive = RunNaive(scene, mps);
    if (spec.speedOnly) {
      table.Note(spec.name + ": " + std::to_string(spec.width) + " x " + std::to_string(spec.height) +
                 ", naive keyer " + std::to_string(mps) + " MP/s on one core (generated in " +
                 std::to_string(generated) + " s)");
      continue;
    }
    const MatteScorer scorer(scene.trueAlpha, scene.trueForeground);
    table.Row(spec.name, "-", "naive", scorer.Score(naive), mps);
    if (!sceneFolder.empty()) WriteSceneFiles(sceneFolder, scene, naive);
  }
  table.Note("Our keyer's rows follow once the keyer and the image library are built.");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    std::string sceneFolder;
    for (int i = 1; i < argc; ++i) {
      const std::string arg = argv[i];
      if (arg == "--scenes" && i + 1 < argc) {
        sceneFolder = argv[++i];
      } else {
        std::fprintf(stderr, "keybench: keying files (composite script matte [alpha [foreground]]) needs the image "
                             "library and the keyer, which are not built yet\n");
        return 2;
      }
    }
    return RunBuiltIn(sceneFolder);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "keybench: %s\n", e.what());
    return 1;
  }
}
