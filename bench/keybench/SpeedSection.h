// The speed figures: a stored state with one protect and one garbage area applied to a large
// composite through IKeyerState and IKeyerAreas, on one core and on all, next to a plain copy of the
// same bitmap and the naive keyer's pass.
#pragma once

#include "Scene.h"
#include "ScoreTable.h"

namespace keybench {

class SpeedSection {
 public:
  explicit SpeedSection(const ScoreTable& table) : table_(table) {}

  void Run(const Scene& scene) const;

 private:
  const ScoreTable& table_;
};

}  // namespace keybench
