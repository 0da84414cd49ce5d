// Everything a tone curve is made of: device type, channel set, bit depth, gamma style, type, and per
// channel slot the black and white points, the three gammas and the hand-made table.
#pragma once

#include <windows.h>

#include <cstdint>

#include "comserver/ComVariant.h"

namespace lut {

// The typed values of the curve's settings; the type library names them the same way.
enum : int32_t { kChannelSetGreyscale = 0, kChannelSetRGB = 1 };
enum : int32_t { kGammaStyleOver = 1, kGammaStyleUnder = 2 };
enum : int32_t { kTypeBasic = 0, kTypeAdvanced = 1, kTypeManual = 2 };

struct LutParameters {
  static constexpr int kSlots = 5;

  LutParameters() { ResetChannels(); }

  // dMax 0, dMin the largest value of the bit depth, all gammas 1, in all five slots.
  void ResetChannels();
  // The slot of a channel under the current channel set, -1 when the channel is not valid there.
  int MapChannel(long channel) const;
  bool IsParameterType() const { return type == kTypeBasic || type == kTypeAdvanced; }

  bool output = false;  // false: input device
  int32_t channelSet = kChannelSetRGB;
  int32_t bitDepth = 8;
  int32_t gammaStyle = kGammaStyleOver;
  int32_t type = kTypeBasic;
  int32_t dMax[kSlots] = {};
  int32_t dMin[kSlots] = {};
  float gamma[kSlots] = {};
  float gammaLo[kSlots] = {};
  float gammaHi[kSlots] = {};
  comserver::CComVariant manual[kSlots];  // VT_EMPTY or a one-dimensional integer SAFEARRAY
};

// The integer element types a manual table may hold, with their sizes; 0 for any other type.
unsigned ManualElementSize(VARTYPE elementType);

}  // namespace lut
