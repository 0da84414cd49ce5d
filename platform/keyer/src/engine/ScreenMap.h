// The screen behind each pixel, channel by channel: the levels (see ScreenLight) that bring the screen
// around a pixel to the model's screen colour. A screen lit unevenly, or whose hue drifts across the
// frame, is then keyed everywhere as the one screen colour of the model, and spill is removed against
// the screen that is really there: a pixel is scaled by its levels before the lookup and its colour
// back by their inverse after it.
//
// The map is measured once per picture from an even subsample of its pixels, counting those that key
// as screen under the state once brought to the screen colour's brightness (their screen channel's
// level); each channel's cells are then built as ScreenLight::LevelGrid builds them. The keying pass
// and AutoCompute measure their maps through this one class. One pixel alone is its own map.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "keyer/Vec3.h"

namespace keyer {

class KeyerState;

class ScreenMap {
 public:
  // Row y of the picture, 3 bytes per pixel (B, G, R); it may throw when the row cannot be read.
  using RowSource = std::function<const uint8_t*(int y)>;

  ScreenMap() = default;
  // An empty map for a state that keys nothing or a picture without pixels. rowsAtOnce: row may be called
  // from several threads at once (the picture is in memory), and the map is measured on the worker pool;
  // else row is called from the calling thread alone, each row once, top row first.
  ScreenMap(const KeyerState& state, int width, int height, const RowSource& row, bool rowsAtOnce = false);

  // True where every pixel is keyed as it is: no screen found, or the screen everywhere as the model's.
  bool Empty() const { return cells_.empty(); }
  // 1 where no channel departs from the screen channel anywhere (each pixel's channels share one level),
  // else 3.
  int Channels() const { return channels_; }
  // The screen's scatter in brightness around the light around it, as a relative standard deviation (0.05:
  // a screen pixel departs by about 5 % from its neighbourhood's light): the median over the cells of a
  // robust deviation of their screen pixels' levels. 0 where too few screen pixels were seen. Measured
  // even where the map itself is empty.
  double Scatter() const { return scatter_; }
  // The screen's brightness structure finer than the map's cells (creases, folds, a shadow's edge), as a
  // relative deviation in brightness: how much two screen pixels a few apart along a row depart alike from
  // their cell's light. Noise, which departs pixel by pixel, adds nothing. Measured even where the map itself
  // is empty.
  double Structure() const { return structure_; }
  // The levels of row y's pixels, Channels() per pixel (three in the pixels' byte order: B, G, R).
  void RowLevels(int y, int8_t* levels) const;

  // The colour (COLORREF) a pixel alone is looked up at when it keys as screen: each channel brought
  // to the screen colour's by its own level.
  static uint32_t LoneScreenColour(uint32_t colorRef, const Vec3& screen);
  // Colours an operator took as screen (COLORREFs), as the keying pass sees them where the screen around
  // is as bright as each: each brought to the screen colour's brightness by its own screen channel's
  // level, and to its hue by the sample's median departure of the other channels' levels from that one.
  // One colour alone comes out as LoneScreenColour. With commonLevel, every colour is brought by the
  // sample's median screen-channel level instead of its own: as the pass sees a patch of screen whose
  // light is one, so that the patch's scatter in brightness (noise, creases) stays in it.
  // The scatter in brightness of colours (COLORREFs) taken from one patch of screen, as Scatter() measures it
  // in each cell: whether the keying pass will find such a screen noisy.
  static double SampleScatter(const std::vector<uint32_t>& colours, const Vec3& screen);
  // With measuredBy, the sample's levels are taken as a map measures a patch of screen keyed with that
  // state: over the colours it keys as screen at their own brightness (all of them where it keys none).
  static std::vector<uint32_t> SampleAtScreen(const std::vector<uint32_t>& colours, const Vec3& screen,
                                              bool commonLevel = false,
                                              const KeyerState* measuredBy = nullptr);

 private:
  int width_ = 0, height_ = 0, columns_ = 0, rows_ = 0;
  int lead_ = 0;  // the screen channel's byte
  int channels_ = 1;
  double scatter_ = 0;
  double structure_ = 0;
  // Per cell, in byte order: the screen channel's fixed level, the other channels' departures from it.
  std::vector<int32_t> cells_;
  std::vector<int32_t> columnCell_, columnWeight_;  // per pixel column: left cell and right cell's weight
  std::vector<int> runStart_;  // the first column of each run sharing a left cell, then the width
};

}  // namespace keyer
