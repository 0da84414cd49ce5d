#include "ColorCorrectValues.h"

#include <cmath>
#include <cstring>
#include <new>

namespace {

// One 256-entry curve: clip points, then a gamma of 1 / gain between them.
struct ToneCurve {
  float gain = 1.0f;
  int16_t inputLow = 0;
  int16_t inputHigh = 255;
  int16_t outputLow = 0;
  int16_t outputHigh = 255;
  int16_t outputOffset = 0;

  // A gain that is not positive and finite has no defined power; such a curve leaves the tones alone,
  // as a gain of exactly 0 does.
  explicit ToneCurve(float g) : gain(std::isfinite(g) && g > 0.0f ? g : 1.0f) {}

  void Fill(BYTE* table) const {
    const long double exponent = 1.0L / static_cast<long double>(gain);
    const int span = inputHigh - inputLow;
    for (int a = 0; a < 256; ++a) {
      int value;
      if (a < inputLow) {
        value = outputLow + outputOffset;
      } else if (a > inputHigh || span <= 0) {
        value = outputHigh + outputOffset;
      } else {
        long double ratio = static_cast<long double>(a - inputLow) / span;
        long double shaped = std::pow(ratio, exponent) * (outputHigh - outputLow) + 0.5L;
        value = outputLow + outputOffset + static_cast<int>(std::trunc(shaped));
      }
      table[a] = static_cast<BYTE>(value < 0 ? 0 : value > 255 ? 255 : value);
    }
  }
};

float BalancedGain(int32_t own, int32_t otherA, int32_t otherB) {
  double balance = 0.5 * own - 0.25 * otherA - 0.25 * otherB;
  return ColorCorrectValues::GainOf(static_cast<float>(balance));
}

}  // namespace

void ColorCorrectValues::BuildTables(VARIANT* tables) const {
  if (tables == nullptr) return;
  VariantInit(tables);

  ToneCurve curves[4] = {ToneCurve(GainOf(intensity)), ToneCurve(BalancedGain(red, green, blue)),
                         ToneCurve(BalancedGain(green, red, blue)),
                         ToneCurve(BalancedGain(blue, red, green))};
  const double c = FactorOf(contrast);
  if (c >= 0.0 && c <= 1.0) {
    const int16_t k = static_cast<int16_t>(static_cast<int>(c * 255.0) / 2);
    curves[0].inputLow = k;
    curves[0].inputHigh = static_cast<int16_t>(255 - k);
  } else if (c >= -1.0 && c < 0.0) {
    const int16_t k = static_cast<int16_t>(static_cast<int>(-c * 255.0) / 2);
    curves[0].outputLow = k;
    curves[0].outputHigh = static_cast<int16_t>(255 - k);
  }

  // The first index varies fastest, so each table is 256 consecutive bytes.
  SAFEARRAYBOUND bounds[2] = {{256, 0}, {4, 0}};
  SAFEARRAY* array = SafeArrayCreate(VT_UI1, 2, bounds);
  if (array == nullptr) throw std::bad_alloc();
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data)) || data == nullptr) {
    SafeArrayDestroy(array);
    return;
  }
  for (int k = 0; k < 4; ++k) curves[k].Fill(static_cast<BYTE*>(data) + 256 * k);
  SafeArrayUnaccessData(array);
  tables->vt = VT_ARRAY | VT_UI1;
  tables->parray = array;
}
