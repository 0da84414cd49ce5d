#include "LutResampler.h"

#include <cmath>
#include <cstring>

#include "LutCurve.h"

namespace lut {

namespace {

template <class Source>
uint64_t ReadSource(const void* source, uint64_t index, uint64_t top) {
  Source value;
  std::memcpy(&value, static_cast<const unsigned char*>(source) + index * sizeof(Source), sizeof(Source));
  uint64_t unsignedValue = value;
  return unsignedValue > top ? top : unsignedValue;
}

template <class Source, class Target>
void ResampleTyped(const void* source, uint64_t s, void* target, uint64_t n) {
  Target* out = static_cast<Target*>(target);
  if (s == 1 || n == 1) {
    for (uint64_t i = 0; i < n; ++i) out[i] = 0;
    return;
  }
  const uint64_t sourceTop = s - 1, targetTop = n - 1;
  if (sizeof(Source) == sizeof(Target) && s == n) {
    for (uint64_t i = 0; i < n; ++i) out[i] = static_cast<Target>(ReadSource<Source>(source, i, sourceTop));
    return;
  }
  const double sourceSpan = static_cast<double>(sourceTop), targetSpan = static_cast<double>(targetTop);
  for (uint64_t i = 0; i < n; ++i) {
    double p = sourceSpan * static_cast<double>(i) / targetSpan;
    uint64_t k = static_cast<uint64_t>(p);
    if (k > sourceTop) k = sourceTop;
    double f = p - static_cast<double>(k);
    double a = static_cast<double>(ReadSource<Source>(source, k, sourceTop));
    double value;
    if (f > 1.1754944e-38 && k < sourceTop) {
      double b = static_cast<double>(ReadSource<Source>(source, k + 1, sourceTop));
      value = targetSpan * ((1.0 - f) * a + f * b) / sourceSpan;
    } else {
      value = targetSpan * a / sourceSpan;
    }
    out[i] = static_cast<Target>(NearestClamped(value, targetTop));
  }
}

template <class Source>
void ResampleTo(const void* source, uint64_t s, void* target, unsigned targetSize, uint64_t n) {
  switch (targetSize) {
    case 1:
      ResampleTyped<Source, uint8_t>(source, s, target, n);
      break;
    case 2:
      ResampleTyped<Source, uint16_t>(source, s, target, n);
      break;
    default:
      ResampleTyped<Source, uint32_t>(source, s, target, n);
      break;
  }
}

}  // namespace

void LutResampler::Resample(const void* source, unsigned sourceSize, uint64_t sourceCount, void* target,
                            unsigned targetSize, uint64_t targetCount) {
  switch (sourceSize) {
    case 1:
      ResampleTo<uint8_t>(source, sourceCount, target, targetSize, targetCount);
      break;
    case 2:
      ResampleTo<uint16_t>(source, sourceCount, target, targetSize, targetCount);
      break;
    default:
      ResampleTo<uint32_t>(source, sourceCount, target, targetSize, targetCount);
      break;
  }
}

}  // namespace lut
