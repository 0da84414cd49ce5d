#include "LutCurve.h"

#include <cmath>

namespace lut {

namespace {

constexpr double kPi = 3.14159265;

float StyleExponent(int32_t gammaStyle, float gamma) {
  return gammaStyle == kGammaStyleUnder ? gamma : 1.0f / gamma;
}

int64_t RescalePoint(int32_t point, uint64_t entries, int32_t bitDepth) {
  double top = static_cast<double>((uint64_t{1} << bitDepth) - 1);
  double scaled = std::trunc(static_cast<double>(entries - 1) * static_cast<double>(point) / top + 0.5);
  // Points beyond the value range (a lowered bit depth, a foreign stream) are clipped to the table.
  if (!(scaled > 0.0)) return 0;
  if (scaled > static_cast<double>(entries - 1)) return static_cast<int64_t>(entries - 1);
  return static_cast<int64_t>(scaled);
}

template <class Element>
class PlaneWriter {
 public:
  explicit PlaneWriter(void* elements) : m_out(static_cast<Element*>(elements)) {}
  void Put(uint64_t index, uint64_t value) { m_out[index] = static_cast<Element>(value); }

 private:
  Element* m_out;
};

template <class Element>
void FillInput(const CurveShape& s, void* elements) {
  PlaneWriter<Element> out(elements);
  const uint64_t top = s.entries - 1;
  const double scale = static_cast<double>(top);
  const int64_t lo = s.lo, hi = s.hi;
  for (uint64_t u = 0; u < s.entries; ++u) {
    const int64_t i = static_cast<int64_t>(u);
    if (lo < hi) {
      if (i < lo) {
        out.Put(u, 0);
      } else if (i > hi) {
        out.Put(u, top);
      } else {
        float t = static_cast<float>(i - lo) / static_cast<float>(hi - lo);
        float e = s.advanced ? LutCurve::BlendExponent(s, t) : s.exponent;
        out.Put(u, NearestClamped(scale * std::pow(static_cast<double>(t), static_cast<double>(e)), top));
      }
    } else {
      // The black point above the white point: the complement of the curve with the points swapped.
      if (i < hi) {
        out.Put(u, top);
      } else if (i > lo) {
        out.Put(u, 0);
      } else if (lo == hi) {
        out.Put(u, top);
      } else {
        float t = static_cast<float>(i - hi) / static_cast<float>(lo - hi);
        float e = s.advanced ? LutCurve::BlendExponent(s, t) : s.exponent;
        double rounded = std::trunc(scale * std::pow(static_cast<double>(t), static_cast<double>(e)) + 0.5);
        out.Put(u, NearestClamped(scale - rounded, top));
      }
    }
  }
}

template <class Element>
void FillOutput(const CurveShape& s, void* elements) {
  PlaneWriter<Element> out(elements);
  const uint64_t top = s.entries - 1;
  const double lo = static_cast<double>(s.lo), hi = static_cast<double>(s.hi);
  const float divisor = static_cast<float>(top);
  for (uint64_t u = 0; u < s.entries; ++u) {
    float t = static_cast<float>(u) / divisor;
    float e = s.advanced ? LutCurve::BlendExponent(s, t) : s.exponent;
    double p = std::pow(static_cast<double>(t), static_cast<double>(e));
    if (s.lo < s.hi) {
      out.Put(u, NearestClamped(lo + std::trunc((hi - lo) * p + 0.5), top));
    } else if (s.lo == s.hi) {
      out.Put(u, top - static_cast<uint64_t>(s.hi));
    } else {
      double rounded = std::trunc((lo - hi) * p + 0.5);
      out.Put(u, NearestClamped(static_cast<double>(top) - hi - rounded, top));
    }
  }
}

template <class Element>
void FillAny(const CurveShape& s, void* elements) {
  if (s.entries == 1) {
    PlaneWriter<Element>(elements).Put(0, 0);  // one entry makes no curve
  } else if (s.output) {
    FillOutput<Element>(s, elements);
  } else {
    FillInput<Element>(s, elements);
  }
}

}  // namespace

uint64_t NearestClamped(double x, uint64_t top) {
  double rounded = std::trunc(x + 0.5);
  if (!(rounded > 0.0)) return 0;  // also NaN
  if (rounded >= static_cast<double>(top)) return top;
  return static_cast<uint64_t>(rounded);
}

CurveShape LutCurve::Shape(const LutParameters& p, int slot, uint64_t entries) {
  CurveShape shape;
  shape.entries = entries;
  shape.output = p.output;
  shape.lo = RescalePoint(p.dMax[slot], entries, p.bitDepth);
  shape.hi = RescalePoint(p.dMin[slot], entries, p.bitDepth);
  if (p.type == kTypeAdvanced) {
    shape.advanced = true;
    shape.exponentLo = StyleExponent(p.gammaStyle, p.gammaLo[slot]);
    shape.exponentMid = StyleExponent(p.gammaStyle, p.gamma[slot]);
    shape.exponentHi = StyleExponent(p.gammaStyle, p.gammaHi[slot]);
  } else {
    float gamma = p.type == kTypeBasic ? p.gamma[slot] : 1.0f;
    shape.exponent = StyleExponent(p.gammaStyle, gamma);
  }
  return shape;
}

float LutCurve::BlendExponent(const CurveShape& s, float t) {
  if (t == 0.5f) return s.exponentMid;
  double w, e;
  if (t < 0.5f) {
    w = (std::cos(2.0 * static_cast<double>(t) * kPi) + 1.0) * 0.5;
    e = w * s.exponentLo + (1.0 - w) * s.exponentMid;
  } else {
    w = (std::cos(2.0 * (1.0 - static_cast<double>(t)) * kPi) + 1.0) * 0.5;
    e = w * s.exponentHi + (1.0 - w) * s.exponentMid;
  }
  return static_cast<float>(e);
}

void LutCurve::Fill(const CurveShape& shape, void* elements, unsigned elementSize) {
  switch (elementSize) {
    case 1:
      FillAny<uint8_t>(shape, elements);
      break;
    case 2:
      FillAny<uint16_t>(shape, elements);
      break;
    default:
      FillAny<uint32_t>(shape, elements);
      break;
  }
}

}  // namespace lut
