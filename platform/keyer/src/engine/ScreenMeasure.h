// What a keying pass measures of the screen in its source before it keys a pixel: the map of the screen's
// levels and, from the scatter and structure the map finds, whether alpha is smoothed and creases are
// followed. The measure depends only on the state and the source's pixels, so passes of one state over one
// source (a picture keyed first without areas, then again where the areas reach) share one, made once.
// Never changed once made: passes on any threads read it at once.
#pragma once

#include <memory>

#include "AlphaSmoothing.h"
#include "ScreenCreases.h"
#include "ScreenMap.h"
#include "keyer/KeyingPass.h"

namespace keyer {

class ScreenMeasure {
 public:
  // state keys (KeyerState::Keys()) and outlives the measure; planes has pixels.
  ScreenMeasure(const KeyerState& state, const KeyingPlanes& planes);

  // Whether a pass of this state over planes this size may take the measure.
  bool Fits(const KeyerState* state, const KeyingPlanes& planes) const {
    return state == state_ && planes.width == width_ && planes.height == height_;
  }
  const ScreenMap* Map() const { return map_.get(); }  // null where every pixel is keyed as it is
  const AlphaSmoothing* Smoothing() const { return smoothing_.get(); }  // null unless the screen is noisy
  const ScreenCreases* Creases() const { return creases_.get(); }  // null unless the screen shows creases

 private:
  const KeyerState* state_;
  int width_, height_;
  std::unique_ptr<ScreenMap> map_;
  std::unique_ptr<AlphaSmoothing> smoothing_;
  std::unique_ptr<ScreenCreases> creases_;
};

}  // namespace keyer
