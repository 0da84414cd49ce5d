#include "LutParameters.h"

namespace lut {

void LutParameters::ResetChannels() {
  for (int slot = 0; slot < kSlots; ++slot) {
    dMax[slot] = 0;
    dMin[slot] = static_cast<int32_t>((int64_t{1} << bitDepth) - 1);
    gamma[slot] = 1.0f;
    gammaLo[slot] = 1.0f;
    gammaHi[slot] = 1.0f;
  }
}

int LutParameters::MapChannel(long channel) const {
  if (channelSet == kChannelSetGreyscale) return channel == 0 ? 0 : -1;
  if (channelSet == kChannelSetRGB) return channel >= 0 && channel <= 3 ? static_cast<int>(channel) : -1;
  return -1;
}

unsigned ManualElementSize(VARTYPE elementType) {
  switch (elementType) {
    case VT_I1:
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_UI2:
      return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
      return 4;
    default:
      return 0;
  }
}

}  // namespace lut
