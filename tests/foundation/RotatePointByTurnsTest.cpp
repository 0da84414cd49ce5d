#include "RotatePointByTurns.h"

#include <gtest/gtest.h>

TEST(RotatePointByTurns, PositiveTurnsRunCounterClockwiseOnTheScreen) {
  struct Case {
    double turns, x, y;
  } cases[] = {
      {0.0, 15, 10},               // unchanged
      {0.25, 10, 5},               // right of the centre goes up
      {0.5, 5, 10},                // and to the left
      {0.75, 10, 15},              // and down
      {1.25, 10, 5},               // whole turns drop out
      {-0.75, 10, 5},              // three quarters the other way round
      {0.125, 13.53553, 6.46447},  // an eighth: rounded to five decimals
  };
  for (const Case& c : cases) {
    const TurnedPoint p = RotatePointByTurns(15, 10, 10, 10, c.turns);
    EXPECT_NEAR(c.x, p.x, 1e-9) << c.turns;
    EXPECT_NEAR(c.y, p.y, 1e-9) << c.turns;
  }
  // Five decimals, half away from zero.
  const TurnedPoint eighth = RotatePointByTurns(1, 0, 0, 0, 0.125);
  EXPECT_DOUBLE_EQ(0.70711, eighth.x);
  EXPECT_DOUBLE_EQ(-0.70711, eighth.y);
}
