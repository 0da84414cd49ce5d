// How bright the screen is where a pixel lies, relative to the screen colour of the model. A screen
// lit unevenly is the same colour at another brightness, so a pixel is keyed after its brightness
// has been scaled by the local screen's: a dim patch of screen then keys like the screen, while a
// subject darker than the screen around it stays darker. Brightness steps are levels of 1/32 of a
// doubling, applied to 8-bit codes through one remap table per level.
#pragma once

#include <cstdint>
#include <vector>

#include "keyer/Vec3.h"

namespace keyer {

class ScreenLight {
 public:
  static constexpr int kLevelsPerDoubling = 32;
  static constexpr int kMaxLevel = 64;  // up to four times brighter or darker
  // Levels in fixed point (8 fractional bits), as the local map holds and interpolates them.
  static constexpr int kFixedOne = 256;

  // Fixed-point level that brings a pixel whose screen channel has this code to the screen's brightness
  // (positive: the pixel is brightened). One table per screen colour, of the 256 codes.
  static void FixedLevelsOfCodes(const Vec3& screen, int32_t out[256]);
  // The same for one channel: the fixed level that brings each code to the linear value target.
  static void FixedLevelsToward(double target, int32_t out[256]);
  // The whole level of a fixed-point one (rounded half up, clamped to +-kMaxLevel).
  static int Level(int32_t fixed) {
    int l = (fixed + kFixedOne / 2 + kMaxLevel * 2 * kFixedOne) / kFixedOne - kMaxLevel * 2;
    return l < -kMaxLevel ? -kMaxLevel : (l > kMaxLevel ? kMaxLevel : l);
  }
  // The 256 codes scaled in linear light by 2^(level / kLevelsPerDoubling), clamped to 255.
  static const uint8_t* Remap(int level);
  // A colour (COLORREF) brought to the screen's brightness by its own level: what the keying pass makes
  // of a pixel the map finds to be screen where the screen is as bright as the pixel.
  static uint32_t AtScreenBrightness(uint32_t colorRef, const Vec3& screen);
  static int ScreenChannel(const Vec3& screen);

  // A cell of a level grid in which no screen was found.
  static constexpr int32_t kNoScreen = INT32_MIN;
  // The map of the screen's brightness on a grid of columns x rows cells, from the median fixed level of
  // the screen pixels found in each cell (kNoScreen where none): cells without screen filled from their
  // neighbours ring by ring, then one 3 x 3 smoothing, since the light changes slowly and a cell's median
  // does not. Empty when no cell holds screen or the whole map is neutral. Applying a state and AutoCompute
  // build their maps (see ScreenMap) through this one function, channel by channel.
  static std::vector<int32_t> LevelGrid(const std::vector<int32_t>& medians, int columns, int rows);
};

}  // namespace keyer
