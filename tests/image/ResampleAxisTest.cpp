// The resampler's horizontal pass: the loops unrolled for each number of taps give the same bytes as the
// general loop over each output's own taps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ResampleAxis.h"

using namespace zvkImage;

TEST(ResampleAxis, UnrolledRowsEqualTheGeneralLoop) {
  struct Case {
    int src, out;
    ResampleQuality quality;
  };
  // Enlargements (2 and 4 taps), reductions by the kernel (up to 8) and by area (up to 20 taps, past the
  // unrolled loops), sources shorter than the taps, and a single pixel.
  const Case cases[] = {{10, 37, ResampleQuality::Good},    {10, 37, ResampleQuality::Fast},
                        {100, 61, ResampleQuality::Good},   {100, 45, ResampleQuality::Good},
                        {100, 51, ResampleQuality::Fast},   {400, 41, ResampleQuality::Good},
                        {400, 23, ResampleQuality::Fast},   {401, 29, ResampleQuality::Fast},
                        {3, 1, ResampleQuality::Good},      {2, 9, ResampleQuality::Good},
                        {1, 5, ResampleQuality::Good},      {4000, 341, ResampleQuality::Fast},
                        {4300, 1800, ResampleQuality::Good}};
  uint32_t seed = 7;
  std::vector<int> tapsSeen;
  for (const Case& c : cases) {
    for (double shift : {0.0, 0.37}) {
      const double scale = double(c.src) / c.out;
      const AxisWeights axis = AxisWeights::Build(c.out, c.src, scale, shift * scale, c.quality);
      tapsSeen.push_back(axis.maxTaps);
      const HorizontalPass pass(axis, c.src);
      for (int channels : {1, 3}) {
        std::vector<uint8_t> src(size_t(c.src) * channels);
        for (uint8_t& v : src) {
          seed = seed * 1664525u + 1013904223u;
          v = (seed >> 24) & 1 ? 255 : uint8_t(seed >> 16);  // hard edges drive the cubic past 0 and 255
        }
        std::vector<uint8_t> fast(size_t(c.out) * channels), general(fast.size());
        pass.Row(channels, src.data(), fast.data());
        HorizontalPass::GeneralRow(channels, axis, src.data(), general.data());
        ASSERT_EQ(general, fast) << c.src << " -> " << c.out << " shift " << shift << ", " << channels
                                 << " channels, " << axis.maxTaps << " taps";
      }
    }
  }
  EXPECT_GT(*std::max_element(tapsSeen.begin(), tapsSeen.end()), HorizontalPass::kMaxUnrolledTaps);
}
