// The gamma track of the editing control: positions, and three gammas moving together.
#include <gtest/gtest.h>

#include <string>

#include "LutCtlGamma.h"
#include "comserver/RegValueKey.h"

using lut::GammaPositions;

TEST(LutCtlGamma, TheThreeGammasMoveTogetherAndStayOnTheTrack) {
  struct Case {
    int thumb;
    GammaPositions cached, expected;
  } cases[] = {
      // 0.5 / 1.0 / 3.0 with the thumb at 18: 3.8 would leave the track, so all go back 3 steps.
      {18, {5, 10, 30}, {10, 15, 35}}, {12, {5, 10, 30}, {7, 12, 32}},
      {2, {5, 10, 30}, {1, 6, 26}},     // 0.1 is the lowest: held back together
      {40, {5, 10, 20}, {20, 25, 35}},  // the thumb itself stops at 3.5
      {-15, {5, 10, 20}, {1, 6, 16}},  {10, {5, 10, 30}, {5, 10, 30}},
  };
  for (const auto& c : cases) {
    GammaPositions moved = lut::ShiftGammas(c.thumb, c.cached);
    EXPECT_EQ(moved.lo, c.expected.lo) << c.thumb;
    EXPECT_EQ(moved.gamma, c.expected.gamma) << c.thumb;
    EXPECT_EQ(moved.hi, c.expected.hi) << c.thumb;
  }
}

TEST(LutCtlGamma, PositionsAndTextsOfGammas) {
  EXPECT_EQ(lut::GammaPosition(2.2f), 22);
  EXPECT_EQ(lut::GammaPosition(0.96f), 10);
  EXPECT_EQ(lut::GammaPosition(3.5f), 35);
  std::string text;
  ASSERT_TRUE(comserver::FormatFixedDouble(lut::GammaOfPosition(10), text));
  EXPECT_EQ(text, "1.0");
  ASSERT_TRUE(comserver::FormatFixedDouble(lut::GammaOfPosition(22), text));
  EXPECT_EQ(text, "2.2");
  ASSERT_TRUE(comserver::FormatFixedDouble(lut::GammaOfPosition(15), text));
  EXPECT_EQ(text, "1.5");
}
