// Applying a state (and protect and garbage areas) to 24-bit BGR rows: an alpha plane and the
// spill-corrected colour come out. Garbage areas force alpha to 0, protect areas then force
// alpha to 1 with the original colour (protect wins), each anti-aliased over one pixel.
//
// Each pixel is keyed against the screen around it: a coarse map of the screen's colour, made once per
// pass from the pixels that key as screen once brought to the screen colour's brightness, scales each
// channel of a pixel in linear light before the lookup (bringing the local screen to the model's screen
// colour) and back after it. One pixel alone is its own map.
//
// Where the map finds the screen noisy, the keyed alpha is smoothed over each pixel's neighbours (see
// AlphaSmoothing); where it finds brightness structure finer than its cells, pixels on creases of the
// backing are keyed at their own brightness (see ScreenCreases). A range of rows then keys the rows beside
// it as well, so the result does not depend on how a picture's rows are split.
//
// A pass neither owns nor copies the pixels; it holds what it measured of the screen (the map, whether to
// smooth and to follow creases), which it hands out for other passes of the same state over the same source
// (see Measure): measuring costs a serial read of the picture. Disjoint row ranges of one pass may
// run on different threads at once (the state is shared read-only), unless the colour plane is the source:
// a range may then read its neighbours' source rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "keyer/KeyerAreas.h"
#include "keyer/KeyerState.h"

namespace keyer {

struct KeyingPlanes {
  const uint8_t* source = nullptr;  // top row first, 3 bytes per pixel (B, G, R)
  ptrdiff_t sourceStride = 0;
  uint8_t* colour = nullptr;  // may be the source itself
  ptrdiff_t colourStride = 0;
  uint8_t* alpha = nullptr;  // one byte per pixel, 255 opaque
  ptrdiff_t alphaStride = 0;
  int width = 0;
  int height = 0;
};

class AlphaSmoothing;
class AreaCoverage;
class ScreenCreases;
class ScreenMap;
// What a pass measured of the screen in its source (see KeyingPass::Measure); opaque outside the keyer.
class ScreenMeasure;

class KeyingPass {
 public:
  // state may be null or unkeyed (colours pass unchanged, alpha 255); areas may be null or empty.
  // measure: what a pass of this state over the same source pixels measured (its Measure()), taken instead
  // of measuring again; the pass measures its own where it is null or was made for another state or size.
  KeyingPass(const KeyerState* state, const KeyerAreas* areas, const AreaPlacement& placement,
             const KeyingPlanes& planes, std::shared_ptr<const ScreenMeasure> measure = nullptr);
  ~KeyingPass();
  KeyingPass(const KeyingPass&) = delete;
  KeyingPass& operator=(const KeyingPass&) = delete;

  // What this pass measured (or was given) of the screen in its source; null where the state keys nothing
  // or the planes hold no pixels. Valid only for passes of this state over the same source pixels; it refers
  // to the state, which must outlive it.
  const std::shared_ptr<const ScreenMeasure>& Measure() const { return measure_; }

  void Run() const { RunRows(0, planes_.height); }
  void RunRows(int firstRow, int rowCount) const;
  // Only the pixels the areas reach, keyed afresh from the source with the areas on top; every other
  // pixel is left as it is. The colour and alpha planes must already hold this state's keying of the
  // source without areas (a pass without areas over the same planes): the result then equals RunRows.
  // Calls rewritten (if given) once for each run of columns [first, end) of row y it wrote, from the
  // calling thread; pixels between a row's runs are not touched.
  struct Span {
    int first = 0, end = 0;
  };
  using RewrittenRun = std::function<void(int y, Span columns)>;
  void RunAreaRows(int firstRow, int rowCount, const RewrittenRun& rewritten = {}) const;

 private:
  // levels: per pixel, the level(s) it is keyed at, as ScreenMap::RowLevels gives them; null for none.
  void KeyRow(const uint8_t* src, uint8_t* colour, uint8_t* alpha, int count, const int8_t* levels) const;
  // Blends the areas' coverage over columns [first, end) of a keyed row; original is the row's source.
  // RunRows where the alpha depends on the neighbours (smoothed, creases): rows are keyed ahead into a ring
  // around the row.
  void RunNeighbourRows(int firstRow, int end) const;
  // Keys columns [first, end) of row y into colour and alpha (both indexed by column from the row's start).
  void KeySpan(int y, int first, int end, const int8_t* levels, uint8_t* colour, uint8_t* alpha) const;
  // Columns [first, end) of row y keyed into colour and alpha (whole rows) as RunNeighbourRows keys them.
  void KeyNeighbourSpan(int y, int first, int end, uint8_t* colour, uint8_t* alpha) const;
  // Rows around a keyed row that its alpha depends on: those the smoothing reads, and each of theirs the
  // crease test reads.
  int SmoothReach() const;
  int CreaseReach() const;
  static void BlendAreas(const uint16_t* protect, const uint16_t* garbage, const uint8_t* original,
                         uint8_t* colour, uint8_t* alpha, int first, int end);

  const KeyerState* state_;
  KeyingPlanes planes_;
  AreaCoverage* coverage_ = nullptr;
  std::shared_ptr<const ScreenMeasure> measure_;
  // Parts of measure_:
  const ScreenMap* map_ = nullptr;             // null where every pixel is keyed as it is
  const AlphaSmoothing* smoothing_ = nullptr;  // null unless the screen is noisy
  const ScreenCreases* creases_ = nullptr;     // null unless the screen shows creases
};

// The whole image in one call.
void ApplyState(const KeyerState* state, const uint8_t* bgr, ptrdiff_t stride, int width, int height,
                uint8_t* outBgr, ptrdiff_t outStride, uint8_t* alpha, ptrdiff_t alphaStride,
                const KeyerAreas* areas = nullptr, const AreaPlacement& placement = AreaPlacement{});

}  // namespace keyer
