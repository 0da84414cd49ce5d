// Gamma trackbar positions of the editing control: position p stands for gamma p x 0.1, and the
// track keeps the gammas between 0.1 and 3.5.
#pragma once

namespace lut {

constexpr int kGammaPositionMin = 1;
constexpr int kGammaPositionMax = 35;

struct GammaPositions {
  int lo;
  int gamma;
  int hi;
};

// truncate(gamma x 10 + 0.5)
int GammaPosition(float gamma);
float GammaOfPosition(int position);

// The gamma thumb moved to `thumb`: the three gammas of an advanced curve move together by the same
// number of steps, held back as a whole so that none leaves the track.
GammaPositions ShiftGammas(int thumb, const GammaPositions& cached);

}  // namespace lut
