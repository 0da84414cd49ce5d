#include "SrgbTransfer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace keybench {

namespace {

struct Tables {
  std::array<float, 256> decode{};
  // thresholds[k]: the linear value from which code k + 1 is nearer than code k.
  std::array<float, 255> thresholds{};
  // start[b]: the code of the linear value b / kBuckets; a value in that bucket is at most a few codes
  // higher.
  static constexpr int kBuckets = 4096;
  std::array<unsigned char, kBuckets + 1> start{};

  Tables() {
    for (int k = 0; k < 256; ++k) decode[k] = SrgbTransfer::ToLinear(k / 255.0f);
    for (int k = 0; k < 255; ++k) thresholds[k] = SrgbTransfer::ToLinear((k + 0.5f) / 255.0f);
    for (int b = 0; b <= kBuckets; ++b) {
      const float v = static_cast<float>(b) / kBuckets;
      start[b] = static_cast<unsigned char>(std::upper_bound(thresholds.begin(), thresholds.end(), v) -
                                            thresholds.begin());
    }
  }
};

const Tables& TheTables() {
  static const Tables tables;
  return tables;
}

}  // namespace

float SrgbTransfer::ToLinear(float encoded) {
  if (encoded <= 0.04045f) return encoded / 12.92f;
  return static_cast<float>(std::pow((encoded + 0.055) / 1.055, 2.4));
}

float SrgbTransfer::ToEncoded(float linear) {
  if (linear <= 0.0031308f) return linear * 12.92f;
  return static_cast<float>(1.055 * std::pow(static_cast<double>(linear), 1.0 / 2.4) - 0.055);
}

float SrgbTransfer::DecodeByte(unsigned char code) { return TheTables().decode[code]; }

unsigned char SrgbTransfer::EncodeByte(float linear) {
  const Tables& t = TheTables();
  if (!(linear > 0.0f)) return 0;  // also NaN
  if (linear >= 1.0f) return 255;
  int code = t.start[static_cast<int>(linear * Tables::kBuckets)];
  while (code < 255 && linear >= t.thresholds[code]) ++code;
  return static_cast<unsigned char>(code);
}

}  // namespace keybench
