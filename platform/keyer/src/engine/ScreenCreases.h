// Creases and folds in a backing: lines of screen darker (or lighter) than the light around them, too
// narrow for the screen map's cells to follow. The colour of such a line is the screen's at another
// brightness, so once brought to the screen colour's brightness by its own level it keys as screen; a thin
// strand of dark subject over the screen may look alike at that brightness, but it is a sharp dip in the
// light: the screen a few pixels to either side of it is brighter than it by far more than the light bends
// over so short a way. A crease's shading changes smoothly across it.
//
// A pixel is taken as screen, keyed at its own brightness, where it and, in at least one of four directions
// (across, down and the two diagonals), both pixels kCreaseReach away (along each axis) key as screen at
// their own brightness, and in no such direction is it darker than the mean of the two by more than
// kCreaseDipLevels: a strand is dark against the screen beside it in at least one direction, and a subject's
// edge has subject on one side. Rows and columns past the picture repeat its edge.
#pragma once

#include <cstdint>

#include "keyer/KeyerTuning.h"

namespace keyer {

class KeyerState;

class ScreenCreases {
 public:
  // The level a pixel keyed above kCreaseScreenAlpha at its own brightness is marked with.
  static constexpr int8_t kNotScreen = INT8_MIN;

  explicit ScreenCreases(const KeyerState& state);
  static constexpr int Reach() { return KeyerTuning::kCreaseReach; }
  // For columns [first, end) of a row (3 bytes per pixel, B, G, R, indexed by column): the whole level
  // that brings each pixel's screen channel to the screen colour's, or kNotScreen, and its alpha there.
  void Mark(const uint8_t* bgr, int first, int end, int8_t* level, uint8_t* alpha) const;
  // Lowers alpha[x] for x in [first, end) of a row `width` wide to the alpha at its own brightness where
  // the pixel lies on a crease. levels: the marks of the 2 Reach() + 1 rows centred on it (top first),
  // ownAlpha: the centre row's; each indexed by column and valid within Reach() of [first, end).
  void Row(const int8_t* const* levels, const uint8_t* ownAlpha, int first, int end, int width,
           uint8_t* alpha) const;

 private:
  const KeyerState& state_;
  int lead_;            // the screen channel's byte
  int32_t fixed_[256];  // fixed level of each code of the screen channel
};

}  // namespace keyer
