#include "MatteError.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace keybench;

namespace {

FloatImage Plane(int w, int h, std::initializer_list<float> values) {
  FloatImage plane(w, h, 1);
  std::copy(values.begin(), values.end(), plane.Samples().begin());
  return plane;
}

// A 12 x 12 matte: an opaque square with a soft one-pixel rim, on transparent ground.
FloatImage SoftSquare() {
  FloatImage plane(12, 12, 1);
  for (int y = 3; y < 9; ++y)
    for (int x = 3; x < 9; ++x) plane.At(x, y) = (x == 3 || x == 8 || y == 3 || y == 8) ? 0.5f : 1.0f;
  return plane;
}

}  // namespace

TEST(MatteError, SadAndMseAreExactOnAHandMadeMatte) {
  const FloatImage truth = Plane(2, 2, {0.0f, 0.5f, 1.0f, 0.25f});
  const FloatImage alpha = Plane(2, 2, {0.5f, 0.5f, 0.75f, 0.0f});
  // Differences 0.5, 0, 0.25, 0.25.
  EXPECT_DOUBLE_EQ(MatteError::Sad(alpha, truth), 1.0 / 1000.0);
  EXPECT_DOUBLE_EQ(MatteError::Mse(alpha, truth), (0.25 + 0.0625 + 0.0625) / 4.0);
  const PixelMask mask = {1, 0, 0, 1};
  EXPECT_DOUBLE_EQ(MatteError::Sad(alpha, truth, mask), 0.75 / 1000.0);
  EXPECT_DOUBLE_EQ(MatteError::Mse(alpha, truth, mask), (0.25 + 0.0625) / 2.0);
  EXPECT_THROW(MatteError::Sad(alpha, FloatImage(3, 2, 1)), std::invalid_argument);
}

TEST(MatteError, BandIsTheSoftPixelsDilatedByADisc) {
  FloatImage truth(31, 31, 1);
  truth.At(15, 15) = 0.5f;
  truth.At(0, 0) = 0.999f;  // above the upper limit: not soft
  const PixelMask band = MatteError::Band(truth, 10.0);
  EXPECT_TRUE(band[15 * 31 + 25]);             // 10 px to the right
  EXPECT_FALSE(band[15 * 31 + 26]);            // 11 px
  EXPECT_TRUE(band[(15 + 6) * 31 + 15 + 8]);   // distance exactly 10
  EXPECT_FALSE(band[(15 + 8) * 31 + 15 + 8]);  // corner of the square, outside the disc
  EXPECT_FALSE(band[0]);
}

TEST(MatteError, GradientIsZeroForEqualMattesAndGrowsWithTheError) {
  const FloatImage truth = SoftSquare();
  EXPECT_EQ(MatteError::Gradient(truth, truth), 0.0);
  FloatImage blurred = truth;
  blurred.At(5, 2) = 0.5f;  // a soft bump outside the edge
  FloatImage worse = blurred;
  worse.At(6, 2) = 0.5f;
  const double one = MatteError::Gradient(blurred, truth);
  EXPECT_GT(one, 0.0);
  EXPECT_GT(MatteError::Gradient(worse, truth), one);
  // Both mattes are min-max normalised: a matte at half strength has the same gradients.
  FloatImage half = truth;
  for (float& v : half.Samples()) v *= 0.5f;
  EXPECT_NEAR(MatteError::Gradient(half, truth), 0.0, 1e-9);
}

TEST(MatteError, GradientFilterHasUnitNormAndFindsAStep) {
  FloatImage step(20, 5, 1);
  for (int y = 0; y < 5; ++y)
    for (int x = 10; x < 20; ++x) step.At(x, y) = 1.0f;
  const FloatImage g = MatteError::GradientMagnitude(step);
  EXPECT_FLOAT_EQ(g.At(0, 2), 0.0f);
  EXPECT_GT(g.At(9, 2), 0.3f);
  EXPECT_NEAR(g.At(9, 2), g.At(10, 2), 1e-6);  // symmetric about the step
}

TEST(MatteError, ConnectivityIsZeroForEqualMattesAndCountsDetachedIslands) {
  const FloatImage truth = SoftSquare();
  EXPECT_EQ(MatteError::Connectivity(truth, truth), 0.0);
  // An opaque island that the truth lacks, apart from the subject: the truth's phi is 1 there, the
  // matte's 1 - (1 - 0) = 0.
  FloatImage island = truth;
  island.At(0, 11) = 1.0f;
  EXPECT_NEAR(MatteError::Connectivity(island, truth), 1.0 / 1000.0, 1e-12);
  // A hole in the subject below 0.15 of its level is not counted.
  FloatImage dent = truth;
  dent.At(5, 5) = 0.95f;
  EXPECT_EQ(MatteError::Connectivity(dent, truth), 0.0);
}

TEST(MatteError, PremultipliedColourErrorCountsOnlyPixelsOfTrueAlphaAboveTheFloor) {
  const FloatImage trueAlpha = Plane(2, 1, {0.5f, 0.04f});
  FloatImage trueFg(2, 1, 3, 0.5f);
  const FloatImage alpha = Plane(2, 1, {1.0f, 1.0f});
  FloatImage fg(2, 1, 3, 0.5f);
  // Pixel 0: 1 * 0.5 against 0.5 * 0.5 in each channel; pixel 1 is below the floor.
  EXPECT_DOUBLE_EQ(MatteError::PremultipliedColour(alpha, fg, trueAlpha, trueFg), 0.0625);
  EXPECT_DOUBLE_EQ(MatteError::PremultipliedColour(trueAlpha, trueFg, trueAlpha, trueFg), 0.0);
}

TEST(MatteError, HoleAndLeakRatesCountOnlyOpaqueSubjectAndBareScreen) {
  // Two opaque, two screen and two soft pixels; the soft ones never count.
  const FloatImage truth = Plane(3, 2, {1.0f, 1.0f, 0.0f, 0.0f, 0.5f, 0.5f});
  const FloatImage alpha = Plane(3, 2, {0.89f, 0.9f, 0.1f, 0.11f, 0.0f, 1.0f});
  EXPECT_DOUBLE_EQ(MatteError::HoleRate(alpha, truth), 0.5);
  EXPECT_DOUBLE_EQ(MatteError::LeakRate(alpha, truth), 0.5);
  const FloatImage soft = Plane(1, 1, {0.5f});
  EXPECT_DOUBLE_EQ(MatteError::HoleRate(soft, soft), 0.0) << "no opaque pixel: no holes";
  EXPECT_THROW(MatteError::LeakRate(alpha, soft), std::invalid_argument);
}
