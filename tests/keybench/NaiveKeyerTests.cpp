#include "NaiveKeyer.h"
#include "SrgbTransfer.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace keybench;

namespace {

struct Linear {
  float r, g, b;
};

void Put(ByteImage& image, int x, Linear c) {
  image.At(x, 0, 0) = SrgbTransfer::EncodeByte(c.r);
  image.At(x, 0, 1) = SrgbTransfer::EncodeByte(c.g);
  image.At(x, 0, 2) = SrgbTransfer::EncodeByte(c.b);
}

Linear Mix(Linear f, Linear s, float alpha) {
  return {alpha * f.r + (1 - alpha) * s.r, alpha * f.g + (1 - alpha) * s.g, alpha * f.b + (1 - alpha) * s.b};
}

Linear Swapped(Linear c) { return {c.r, c.b, c.g}; }

}  // namespace

TEST(NaiveKeyer, MedianColourIsPerChannelOverTheMarkedPixels) {
  ByteImage image(4, 1, 3);
  const unsigned char values[4][3] = {{10, 200, 30}, {12, 190, 35}, {200, 0, 0}, {11, 210, 20}};
  for (int x = 0; x < 4; ++x)
    for (int c = 0; c < 3; ++c) image.At(x, 0, c) = values[x][c];
  const auto median = NaiveKeyer::MedianColour(image, {1, 1, 0, 1});
  EXPECT_EQ(median[0], 11);
  EXPECT_EQ(median[1], 200);
  EXPECT_EQ(median[2], 30);
  EXPECT_THROW(NaiveKeyer::MedianColour(image, {0, 0, 0, 0}), std::invalid_argument);
}

TEST(NaiveKeyer, KeysScreenSubjectAndMixturesOnGreenAndBlue) {
  const Linear greenScreen{0.07f, 0.42f, 0.10f};
  // Neutral grey: the same channel is the largest non-key one in screen, subject and mixture, so the
  // colour difference is linear in alpha and the keyer is exact up to rounding.
  const Linear subject{0.3f, 0.3f, 0.3f};
  for (const ScreenColour screen : {ScreenColour::Green, ScreenColour::Blue}) {
    SCOPED_TRACE(screen == ScreenColour::Green ? "green" : "blue");
    const bool blue = screen == ScreenColour::Blue;
    const Linear s = blue ? Swapped(greenScreen) : greenScreen;
    const Linear f = blue ? Swapped(subject) : subject;
    ByteImage image(4, 1, 3);
    Put(image, 0, s);
    Put(image, 1, f);
    Put(image, 2, Mix(f, s, 0.5f));
    Put(image, 3, blue ? Linear{0.05f, 0.1f, 0.8f} : Linear{0.05f, 0.8f, 0.1f});  // brighter than the screen
    const NaiveKeyer keyer({image.At(0, 0, 0), image.At(0, 0, 1), image.At(0, 0, 2)}, screen);
    const KeyerOutput out = keyer.Key(image);
    EXPECT_EQ(out.matte.At(0, 0), 0);
    EXPECT_EQ(out.matte.At(1, 0), 255);
    EXPECT_NEAR(out.matte.At(2, 0), 128, 2);
    EXPECT_EQ(out.matte.At(3, 0), 0);
    // The half-covered pixel unmixes to the subject's colour.
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(out.foreground.At(2, 0, c), out.foreground.At(1, 0, c), 3) << c;
  }
}

TEST(NaiveKeyer, RefusesAScreenColourWithoutTheKeyChannelOnTop) {
  EXPECT_THROW(NaiveKeyer({200, 100, 100}, ScreenColour::Green).Key(ByteImage(1, 1, 3)),
               std::invalid_argument);
}

TEST(SrgbTransfer, EncodeByteIsTheNearestCodeOnTheCurve) {
  for (int i = 0; i <= 20000; ++i) {
    const float linear = i / 20000.0f;
    const int expected = static_cast<int>(std::lround(SrgbTransfer::ToEncoded(linear) * 255.0f));
    ASSERT_NEAR(SrgbTransfer::EncodeByte(linear), expected, 1) << linear;
  }
  for (int code = 0; code < 256; ++code)
    ASSERT_EQ(SrgbTransfer::EncodeByte(SrgbTransfer::DecodeByte(static_cast<unsigned char>(code))), code);
  EXPECT_EQ(SrgbTransfer::EncodeByte(-0.5f), 0);
  EXPECT_EQ(SrgbTransfer::EncodeByte(7.0f), 255);
}
