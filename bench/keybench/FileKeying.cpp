#include "FileKeying.h"

#include "MatteScorer.h"
#include "NaiveKeyer.h"
#include "OperationScript.h"
#include "OurKeyer.h"
#include "PngWriter.h"
#include "ScoreTable.h"
#include "ZvkBitmap.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace keybench {

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error(path + ": cannot read the script");
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) throw std::runtime_error(path + ": cannot read the script");
  return text.str();
}

std::string SizeText(int w, int h) { return std::to_string(w) + " x " + std::to_string(h); }

// A truth file as 0..1 values; its size must be the composite's.
FloatImage ReadTruth(const std::string& path, int channels, int width, int height) {
  const ByteImage rgb = ZvkBitmap::Load(path).Colour();
  if (rgb.Width() != width || rgb.Height() != height)
    throw std::runtime_error(path + ": " + SizeText(rgb.Width(), rgb.Height()) + ", but the composite is " +
                             SizeText(width, height));
  FloatImage truth(width, height, channels);
  for (size_t i = 0; i < truth.PixelCount(); ++i)
    for (int c = 0; c < channels; ++c) truth.Samples()[i * channels + c] = rgb.Samples()[i * 3 + c] / 255.0f;
  return truth;
}

}  // namespace

int FileKeying::Run(const FileKeyingArgs& args) {
  const ZvkBitmap composite = ZvkBitmap::Load(args.composite);
  const std::vector<KeyerCall> calls = OperationScript::Parse(ReadText(args.script), args.script);
  const int w = composite.Width(), h = composite.Height();
  FloatImage trueAlpha, trueForeground;
  if (!args.alpha.empty()) trueAlpha = ReadTruth(args.alpha, 1, w, h);
  if (!args.foreground.empty()) trueForeground = ReadTruth(args.foreground, 3, w, h);

  const OurKeying ours = OurKeyer::Key(composite, calls);
  if (!args.colour.empty()) PngWriter::Write(args.colour, ours.output.foreground);
  PngWriter::Write(args.matte, ours.output.matte);
  const ScoreTable table;
  for (const std::string& note : ours.script.notes) table.Note(note);
  table.Note("keyer state: " + ours.script.statePath);
  if (!trueAlpha.Empty()) {
    table.Header();
    const MatteScorer scorer(trueAlpha, trueForeground);
    const MatteScores scores = scorer.Score(ours.output);
    table.Row(args.composite, "file", "ours", scores, ours.applyMps);
    // The naive keyer takes its screen colour from the pixels the truth calls screen.
    const ByteImage pixels = composite.Colour();
    PixelMask screen(pixels.PixelCount());
    size_t count = 0;
    for (size_t i = 0; i < screen.size(); ++i) count += screen[i] = trueAlpha.Samples()[i] == 0.0f;
    if (count > 0) {
      const auto colour = NaiveKeyer::MedianColour(pixels, screen);
      const ScreenColour kind = colour[2] > colour[1] ? ScreenColour::Blue : ScreenColour::Green;
      const MatteScores naive = scorer.Score(NaiveKeyer(colour, kind).Key(pixels));
      table.Row(args.composite, "file", "naive", naive, 0.0);
      table.Ratio(args.composite, "file", scores, naive);
    } else {
      table.Note("no pixel of the true alpha is 0: the naive keyer has no screen colour");
    }
  }
  char speed[128];
  std::snprintf(speed, sizeof speed, "applied the state and areas at %.1f MP/s (%d x %d)", ours.applyMps, w,
                h);
  table.Note(speed);
  return 0;
}

}  // namespace keybench
