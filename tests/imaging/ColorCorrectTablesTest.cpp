// The colour-correction tables as the image library receives them.
#include "ColorCorrectValues.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace {

using Tables = std::array<std::array<int, 256>, 4>;  // master, red, green, blue

Tables Build(const ColorCorrectValues& values) {
  VARIANT v;
  values.BuildTables(&v);
  Tables out{};
  EXPECT_EQ(VT_ARRAY | VT_UI1, v.vt);
  if (v.vt != (VT_ARRAY | VT_UI1)) return out;
  EXPECT_EQ(2u, SafeArrayGetDim(v.parray));
  LONG lo = -1, hi = -1;
  SafeArrayGetLBound(v.parray, 1, &lo);
  SafeArrayGetUBound(v.parray, 1, &hi);
  EXPECT_EQ(0, lo);
  EXPECT_EQ(255, hi);
  SafeArrayGetLBound(v.parray, 2, &lo);
  SafeArrayGetUBound(v.parray, 2, &hi);
  EXPECT_EQ(0, lo);
  EXPECT_EQ(3, hi);
  for (LONG k = 0; k < 4; ++k)
    for (LONG a = 0; a < 256; ++a) {
      LONG index[2] = {a, k};
      BYTE b = 0;
      SafeArrayGetElement(v.parray, index, &b);
      out[k][a] = b;
    }
  VariantClear(&v);
  return out;
}

// The curve a gain gives between the initial clip points.
int Curve(int a, double gain) {
  return static_cast<int>(std::trunc(std::pow(a / 255.0L, 1.0L / gain) * 255 + 0.5L));
}

ColorCorrectValues Values(int red, int green, int blue, int intensity, int contrast) {
  ColorCorrectValues v;
  v.red = red, v.green = green, v.blue = blue, v.intensity = intensity, v.contrast = contrast;
  return v;
}

TEST(ColorCorrectTables, SliderValuesGiveTheirCurves) {
  struct Case {
    const char* what;
    ColorCorrectValues values;
    double gains[4];  // master, red, green, blue
    int inLow, inHigh, outLow, outHigh;
  };
  const Case cases[] = {
      {"identity", Values(0, 0, 0, 0, 0), {1, 1, 1, 1}, 0, 255, 0, 255},
      {"red +20", Values(20, 0, 0, 0, 0), {1, 1.5, 0.9375, 0.9375}, 0, 255, 0, 255},
      {"intensity -40", Values(0, 0, 0, -40, 0), {0.5, 1, 1, 1}, 0, 255, 0, 255},
      {"contrast +50", Values(0, 0, 0, 0, 50), {1, 1, 1, 1}, 127, 128, 0, 255},
      {"contrast -50", Values(0, 0, 0, 0, -50), {1, 1, 1, 1}, 0, 255, 127, 128},
      {"contrast +60", Values(0, 0, 0, 0, 60), {1, 1, 1, 1}, 0, 255, 0, 255},
      {"contrast -60", Values(0, 0, 0, 0, -60), {1, 1, 1, 1}, 0, 255, 0, 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Tables t = Build(c.values);
    for (int k = 1; k < 4; ++k)
      for (int a = 0; a < 256; ++a) ASSERT_EQ(Curve(a, c.gains[k]), t[k][a]) << "table " << k << " at " << a;
    for (int a = 0; a < 256; ++a) {
      int expected;
      if (a < c.inLow)
        expected = c.outLow;
      else if (a > c.inHigh)
        expected = c.outHigh;
      else
        expected =
            c.outLow +
            static_cast<int>(std::trunc(
                std::pow(static_cast<long double>(a - c.inLow) / (c.inHigh - c.inLow), 1.0L / c.gains[0]) *
                    (c.outHigh - c.outLow) +
                0.5L));
      ASSERT_EQ(expected, t[0][a]) << "master at " << a;
    }
  }
}

TEST(ColorCorrectTables, ContrastExtremesClipToTwoLevels) {
  const Tables up = Build(Values(0, 0, 0, 0, 50));
  EXPECT_EQ(0, up[0][127]);
  EXPECT_EQ(255, up[0][128]);
  const Tables down = Build(Values(0, 0, 0, 0, -50));
  for (int a = 0; a < 256; ++a) ASSERT_TRUE(down[0][a] == 127 || down[0][a] == 128) << a;
  EXPECT_EQ(127, down[0][0]);
  EXPECT_EQ(128, down[0][255]);
}

// Damaged jobs can carry any slider values; a gain that is not positive would make the power infinite.
TEST(ColorCorrectTables, AnyStoredValueGivesDefinedTables) {
  const int extremes[] = {-80, -81, -1000, std::numeric_limits<int32_t>::min(),
                          std::numeric_limits<int32_t>::max()};
  for (int x : extremes) {
    SCOPED_TRACE(x);
    const Tables t = Build(Values(x, -x, x, x, x));
    for (int k = 0; k < 4; ++k)
      for (int a = 0; a < 256; ++a) ASSERT_TRUE(t[k][a] >= 0 && t[k][a] <= 255);
  }
  // Intensity -80 gives a gain of exactly 0, which leaves the tones alone; -100 a negative one: the same.
  const Tables zero = Build(Values(0, 0, 0, -80, 0));
  const Tables negative = Build(Values(0, 0, 0, -100, 0));
  for (int a = 0; a < 256; ++a) {
    ASSERT_EQ(a, zero[0][a]);
    ASSERT_EQ(a, negative[0][a]);
  }
}

}  // namespace
