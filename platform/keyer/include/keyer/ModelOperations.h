// The keyer's operations on a model. Samples are COLORREFs (0x00BBGGRR). Each operation moves one
// surface locally around the sampled colours and keeps the three surfaces nested; operations
// other than SelectBackgroundColor and CleanBackground do nothing on a model without a screen.
#pragma once

#include <cstdint>
#include <vector>

#include "keyer/KeyerModel.h"
#include "keyer/KeyerTuning.h"

namespace keyer {

class ModelOperations {
 public:
  using Colours = std::vector<uint32_t>;

  // The screen colour becomes the median of the sample; the surfaces start afresh around it and
  // the inner one takes in every sampled colour.
  static void SelectBackgroundColor(KeyerModel& model, const Colours& sample);
  // The sampled colours become screen (alpha 0), each taken at the screen colour: as the keying pass sees
  // it where the screen around is as bright as the pixel and of the sample's hue (see ScreenMap). Where the
  // sample, brought to the screen colour at one common brightness, still keys above the screen, its scatter
  // is taken in as well (TakeInScreenScatter): a noisy patch stays screen under the pass's smooth map. A
  // patch as noisy as a screen the pass smooths the alpha of is taken in as far as the smoothed alpha needs.
  static void CleanBackground(KeyerModel& model, const Colours& sample);
  // The sampled colours become opaque; spill suppression stays as it was.
  static void CleanForeground(KeyerModel& model, const Colours& sample);
  // The sampled colours become opaque and keep their spill suppression.
  static void MatteSponge(KeyerModel& model, const Colours& sample);
  // The sampled colours are left exactly as they are: opaque, no spill removed.
  static void SpillSponge(KeyerModel& model, const Colours& sample);
  // The sampled colours become partly transparent.
  static void MakeForegroundTransparent(KeyerModel& model, const Colours& sample);
  // The sampled colours gain opacity (detail the inner surface had swallowed comes back).
  static void RestoreDetail(KeyerModel& model, const Colours& sample);
  // One bounded step of the middle (more: more opaque), outer (more: more spill removed) or inner
  // (more: more detail, that is higher alpha) surface around the sampled colours.
  static void AdjustMatte(KeyerModel& model, const Colours& sample, bool more);
  static void AdjustSpill(KeyerModel& model, const Colours& sample, bool more);
  static void AdjustDetail(KeyerModel& model, const Colours& sample, bool more);
  // Scales the outer (spill), middle (transparency) and inner (detail) surfaces around the colour's
  // direction by kFineTuneFactor^delta; deltas are clamped to -1..1; zero deltas change nothing.
  static void FineTune(KeyerModel& model, uint32_t colour, double spill, double transparency, double detail);

  // A fresh model around a screen colour (linear light), keeping the algorithm and spill choice of
  // base: the middle surface where a colour stops being dominated by the screen's channel, the
  // inner one at the screen's noise, the outer one a little beyond the middle.
  static KeyerModel AroundScreen(const Vec3& screen, const KeyerModel& base);

  // The inner surface takes in the scatter of screen colours (as the keying pass sees them): the ellipsoid
  // of a Gaussian fitted to them, at the fewest deviations that leave at most kScreenLeakShare of them
  // keyed above kScreenLeakAlpha (see KeyerTuning). smoothed: the pass smooths the alpha of such a screen
  // (see AlphaSmoothing), so the share is of the smoothed alphas a screen of these colours would give.
  static void TakeInScreenScatter(KeyerModel& model, const Colours& screen, bool smoothed = false);

  enum class Surface { Inner, Middle, Outer };
  // Pushes the two other surfaces so that inner + gap <= middle <= outer holds at every node.
  static void KeepNested(KeyerModel& model, Surface moved);
};

}  // namespace keyer
