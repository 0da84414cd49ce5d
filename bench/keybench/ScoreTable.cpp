#include "ScoreTable.h"

namespace keybench {

namespace {

double Divide(double a, double b) { return b > 0.0 ? a / b : (a > 0.0 ? 99.99 : 1.0); }

}  // namespace

void ScoreTable::Header() const {
  std::fprintf(out_, "%-10s %-6s %-6s %10s %10s %10s %10s %10s %10s %10s %7s %7s %8s\n", "scene", "script",
               "keyer", "bandSAD", "bandMSE", "gradient", "connect", "SAD", "MSE", "fgError", "holes",
               "leaks", "MP/s");
}

void ScoreTable::Row(const std::string& scene, const std::string& script, const std::string& keyer,
                     const MatteScores& s, double mps) const {
  std::fprintf(out_, "%-10s %-6s %-6s %10.3f %10.5f %10.3f %10.3f %10.3f %10.5f %10.5f %7.4f %7.4f %8.1f\n",
               scene.c_str(), script.c_str(), keyer.c_str(), s.bandSad, s.bandMse, s.gradient, s.connectivity,
               s.imageSad, s.imageMse, s.foregroundError, s.holeRate, s.leakRate, mps);
}

void ScoreTable::Ratio(const std::string& scene, const std::string& script, const MatteScores& ours,
                       const MatteScores& naive) const {
  std::fprintf(out_, "%-10s %-6s %-6s %10.3f %10.3f %10.3f %10.3f %10.3f %10.3f %10.3f %7.2f %7.2f\n",
               scene.c_str(), script.c_str(), "ratio", Divide(ours.bandSad, naive.bandSad),
               Divide(ours.bandMse, naive.bandMse), Divide(ours.gradient, naive.gradient),
               Divide(ours.connectivity, naive.connectivity), Divide(ours.imageSad, naive.imageSad),
               Divide(ours.imageMse, naive.imageMse), Divide(ours.foregroundError, naive.foregroundError),
               Divide(ours.holeRate, naive.holeRate), Divide(ours.leakRate, naive.leakRate));
}

void ScoreTable::Note(const std::string& text) const { std::fprintf(out_, "%s\n", text.c_str()); }

}  // namespace keybench
