// The constants that shape the colour model and its operations, in one place so that the keying
// benchmark can tune them. Distances are in linear light (a channel runs from 0 to 1).
#pragma once

namespace keyer {

struct KeyerTuning {
  // Smallest distance between the inner and the middle surface: the width of the softest edge.
  static constexpr double kMinimumGap = 0.01;
  // Inner surface of a fresh model where the screen's own noise is not yet known.
  static constexpr double kDefaultNoiseRadius = 0.02;
  // Share of the middle radius the fresh inner surface may take.
  static constexpr double kDefaultInnerShare = 0.25;
  // Outer (spill) surface of a fresh model, as a multiple of the middle one.
  static constexpr double kDefaultSpillReach = 1.6;
  // An operation moves a surface fully within this angle around a sampled colour's direction and
  // fades out towards the second angle (degrees); the first covers a whole cell of the grid.
  static constexpr double kKernelFlatDegrees = 8.0;
  static constexpr double kKernelFadeDegrees = 12.0;
  // A fresh middle surface lies, in each direction, where the screen channel's excess over the other
  // two has fallen to this share of the screen's own: a colour still that green is taken as subject
  // (spill-tinted hair, edges), not as a mix with the screen.
  static constexpr double kOpaqueExcessShare = 0.25;
  // A secondary colour (one other channel risen above the screen's by this share of the screen
  // channel's excess, the third not risen) is subject: yellow-green before a green screen.
  static constexpr double kSecondaryRiseShare = 0.8;
  // Relative step of AdjustMatte, AdjustSpill and AdjustDetail per call.
  static constexpr double kAdjustStep = 0.05;
  // FineTune: a delta of 1 scales the surface by this factor around the colour, -1 by its inverse.
  static constexpr double kFineTuneFactor = 2.0;
  // AutoCompute: a pixel is screen-like when its screen-channel excess, relative to that channel,
  // reaches this share of the screen colour's own; the inner surface takes in the most frequent
  // screen-like colours up to this share of them.
  static constexpr double kScreenLikeShare = 0.75;
  static constexpr double kScreenCoverage = 0.995;
  // AutoCompute reads at most about this many pixels, evenly spread.
  static constexpr int kAutoComputePixels = 1 << 19;
  // Applying a state: the screen's brightness is mapped on a grid of this many cells across and down,
  // from about this many pixels evenly spread, counting those that key below this alpha (of 255) once
  // brought to the screen colour's brightness.
  static constexpr int kLightMapColumns = 32;
  static constexpr int kLightMapRows = 24;
  static constexpr int kLightMapPixels = 1 << 16;
  static constexpr int kLightMapScreenAlpha = 4;
};

}  // namespace keyer
