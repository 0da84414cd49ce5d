// The named RGB spaces: matrices adapted to D50, the inverse, and the logical colour space made of them.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "RgbSpaces.h"

using namespace zvk;

TEST(RgbSpaces, SrgbAdaptsToTheKnownMatrix) {
  const Matrix3 expected{{{0.4360, 0.3851, 0.1430}, {0.2225, 0.7169, 0.0606}, {0.0139, 0.0971, 0.7139}}};
  const ColourSpaceDescription d = RgbSpaceToXYZ(*FindNamedRgbSpace(1));
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      EXPECT_NEAR(d.xyz[column * 3 + row], expected[row][column], 0.00005) << row << "," << column;
  for (float g : d.gamma) EXPECT_FLOAT_EQ(g, 2.2f);
}

TEST(RgbSpaces, EverySpaceMapsWhiteToD50) {
  for (int id = 1; id <= kNamedRgbSpaceCount; ++id) {
    const Vector3 white = Multiply(AdaptedRgbToXYZ(*FindNamedRgbSpace(id)), Vector3{1, 1, 1});
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(white[i], kD50[i], 1e-9) << id;
  }
  EXPECT_EQ(FindNamedRgbSpace(0), nullptr);
  EXPECT_EQ(FindNamedRgbSpace(10), nullptr);
}

TEST(RgbSpaces, BradfordLeavesAD50SpaceAlmostUnchanged) {
  // ColorMatch RGB's white is D50 to four places: its adapted matrix is nearly the unadapted one.
  const NamedRgbSpace& s = *FindNamedRgbSpace(5);
  auto column = [](double x, double y) { return Vector3{x / y, 1.0, (1 - x - y) / y}; };
  const Vector3 r = column(s.xr, s.yr), g = column(s.xg, s.yg), b = column(s.xb, s.yb);
  const Matrix3 p{{{r[0], g[0], b[0]}, {r[1], g[1], b[1]}, {r[2], g[2], b[2]}}};
  const Matrix3 plain = Multiply(p, Diagonal(Multiply(Invert(p), column(s.xw, s.yw))));
  const Matrix3 adapted = AdaptedRgbToXYZ(s);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(adapted[i][j], plain[i][j], 1e-3);
}

TEST(ColourMatrix, InverseUsesFullPivotingAndRefusesSingularMatrices) {
  // A zero in the first pivot position needs a row and a column swap.
  const Matrix3 m{{{0, 2, 1}, {1e-3, 0, 3}, {4, 1, 0}}};
  const Matrix3 product = Multiply(m, Invert(m));
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(product[i][j], i == j ? 1.0 : 0.0, 1e-12);
  const Matrix3 singular{{{1, 2, 3}, {2, 4, 6}, {0, 1, 1}}};
  try {
    Invert(singular);
    FAIL() << "a singular matrix was inverted";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "matrix is not invertable!");
  }
}

TEST(RgbSpaces, LogicalColourSpaceHoldsFixedPointValues) {
  const ColourSpaceDescription d = RgbSpaceToXYZ(*FindNamedRgbSpace(2));
  const LOGCOLORSPACEA lcs = LogColourSpaceFromDescription(d, 2);
  EXPECT_EQ(lcs.lcsSignature, static_cast<DWORD>(LCS_SIGNATURE));
  EXPECT_EQ(lcs.lcsSize, 328u);
  EXPECT_EQ(lcs.lcsCSType, static_cast<LCSCSTYPE>(LCS_CALIBRATED_RGB));
  EXPECT_EQ(lcs.lcsIntent, static_cast<LCSGAMUTMATCH>(LCS_GM_BUSINESS));
  EXPECT_EQ(LogColourSpaceFromDescription(d, 7).lcsIntent, static_cast<LCSGAMUTMATCH>(LCS_GM_IMAGES));
  EXPECT_EQ(lcs.lcsEndpoints.ciexyzGreen.ciexyzY, static_cast<FXPT2DOT30>(double(d.xyz[4]) * (1 << 30)));
  EXPECT_EQ(lcs.lcsGammaRed, static_cast<DWORD>(double(2.2f) * 65536.0));
}
