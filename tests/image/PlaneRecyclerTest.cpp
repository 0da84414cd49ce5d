// Large pixel planes are reused after they are freed: a reused plane must never show the pixels it held.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "PixelImage.h"
#include "PlaneRecycler.h"

using namespace zvkImage;

namespace {

// Odd width: each row has a byte of padding. Both planes of 1999 x 4500 are large enough to be kept.
constexpr int kWidth = 1999, kHeight = 4500;

// A picture whose every byte, padding included, is `value`, with an alpha plane of `value`; then freed.
void LeaveDirtyPlanes(uint8_t value) {
  PixelImage dirty;
  dirty.Allocate(kWidth, kHeight, false);
  std::fill(dirty.Bits(), dirty.Bits() + dirty.Stride() * kHeight, value);
  dirty.AddAlpha(value);
}

bool AllBytes(const uint8_t* p, size_t n, uint8_t value) {
  return std::all_of(p, p + n, [value](uint8_t b) { return b == value; });
}

}  // namespace

TEST(PlaneRecycler, ReusedPlanesShowNoOldPixels) {
  ASSERT_GE(size_t(kWidth) * kHeight, PlaneRecycler::kMinBytes);
  const size_t colourBytes = PixelImage::StrideOf(kWidth) * kHeight;
  const size_t padding = PixelImage::StrideOf(kWidth) - size_t(kWidth) * 3;
  ASSERT_GT(padding, 0u);

  LeaveDirtyPlanes(0xAB);
  EXPECT_GE(PlaneRecycler::KeptBytes(), colourBytes);  // the colour plane was kept for reuse
  PixelImage black;
  black.Allocate(kWidth, kHeight, true);
  EXPECT_TRUE(AllBytes(black.Bits(), colourBytes, 0));

  LeaveDirtyPlanes(0xCD);
  PixelImage unfilled;
  unfilled.Allocate(kWidth, kHeight, false);
  for (int y = 0; y < kHeight; ++y)
    ASSERT_TRUE(AllBytes(unfilled.Row(y) + size_t(kWidth) * 3, padding, 0)) << "padding of row " << y;
  unfilled.AddAlpha(7);
  EXPECT_TRUE(AllBytes(unfilled.AlphaRow(0), size_t(kWidth) * kHeight, 7));

  // A copy is its source byte for byte, even on planes that held other pixels.
  std::fill(unfilled.Row(0), unfilled.Row(0) + size_t(kWidth) * 3, uint8_t(0x11));
  unfilled.AlphaRow(kHeight - 1)[kWidth - 1] = 200;
  LeaveDirtyPlanes(0xEF);
  const PixelImage copy = unfilled.Clone();
  EXPECT_EQ(0, std::memcmp(copy.Bits(), unfilled.Bits(), colourBytes));
  EXPECT_EQ(0, std::memcmp(copy.AlphaRow(0), unfilled.AlphaRow(0), size_t(kWidth) * kHeight));
}

TEST(PlaneRecycler, KeepsFewPlanesWithinItsBound) {
  {
    std::vector<PixelImage> many(6);
    for (PixelImage& image : many) {
      image.Allocate(kWidth, kHeight, false);
      image.AddAlpha(0);
    }
  }  // twelve planes freed at once
  EXPECT_LE(PlaneRecycler::KeptBytes(), PlaneRecycler::kMaxKeptBytes);
  EXPECT_LE(PlaneRecycler::KeptBytes(), PlaneRecycler::kMaxKept * PixelImage::StrideOf(kWidth) * kHeight);
  PlaneRecycler::Drain();
  EXPECT_EQ(0u, PlaneRecycler::KeptBytes());
}
