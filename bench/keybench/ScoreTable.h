// Prints the benchmark's table: one row per scene, script and keyer, with the ratio to the naive keyer.
#pragma once

#include "MatteScores.h"

#include <cstdio>
#include <string>

namespace keybench {

class ScoreTable {
 public:
  explicit ScoreTable(std::FILE* out = stdout) : out_(out) {}

  void Header() const;
  // mps: megapixels per second of the keying pass, 0 when not timed.
  void Row(const std::string& scene, const std::string& script, const std::string& keyer,
           const MatteScores& s, double mps) const;
  // Each figure of ours divided by the naive keyer's (below 1 is better).
  void Ratio(const std::string& scene, const std::string& script, const MatteScores& ours,
             const MatteScores& naive) const;
  void Note(const std::string& text) const;

 private:
  std::FILE* out_;
};

}  // namespace keybench
