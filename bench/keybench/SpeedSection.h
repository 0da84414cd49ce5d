// The speed figures: a stored state with one protect and one garbage area applied to a large
// composite through IKeyerState and IKeyerAreas, on one core and on all, next to a plain copy of the
// same bitmap and the naive keyer's pass.
#pragma once

#include "Scene.h"
#include "ScoreTable.h"

namespace keybench {

struct SpeedFigures {
  double allCoresMps = 0.0;
  double oneCoreMps = 0.0;  // 0 when the process cannot be pinned to one core
  int cores = 1;
};

class SpeedSection {
 public:
  explicit SpeedSection(const ScoreTable& table) : table_(table) {}

  SpeedFigures Run(const Scene& scene) const;

 private:
  const ScoreTable& table_;
};

}  // namespace keybench
