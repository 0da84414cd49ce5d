#include "ScreenMeasure.h"

#include "keyer/KeyerTuning.h"

namespace keyer {

ScreenMeasure::ScreenMeasure(const KeyerState& state, const KeyingPlanes& planes)
    : state_(&state), width_(planes.width), height_(planes.height) {
  map_ = std::make_unique<ScreenMap>(
      state, planes.width, planes.height, [&](int y) { return planes.source + y * planes.sourceStride; },
      /*rowsAtOnce=*/true);
  if (map_->Scatter() > KeyerTuning::kSmoothScreenScatter)
    smoothing_ = std::make_unique<AlphaSmoothing>(KeyerTuning::kAlphaSmoothRadius);
  if (map_->Structure() > KeyerTuning::kCreaseStructure) creases_ = std::make_unique<ScreenCreases>(state);
  if (map_->Empty()) map_.reset();
}

}  // namespace keyer
