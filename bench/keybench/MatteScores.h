// One keyer's scores on one scene; lower is better for every figure.
#pragma once

#include <cstddef>

namespace keybench {

struct MatteScores {
  double bandSad = 0.0;
  double bandMse = 0.0;
  double gradient = 0.0;
  double connectivity = 0.0;
  double imageSad = 0.0;
  double imageMse = 0.0;
  double foregroundError = 0.0;
  double holeRate = 0.0;  // share of the opaque subject keyed below 0.9
  double leakRate = 0.0;  // share of the bare screen keyed above 0.1
  size_t bandPixels = 0;
};

}  // namespace keybench
