// A decoder writes a new plane's rows top to bottom while the worker pool writes ahead into the same plane to
// fault its pages in: no row the decoder wrote may ever be overwritten, whoever gets to a band first.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

#include "PlaneWarmer.h"

using namespace zvkImage;

namespace {

constexpr size_t kStride = 12000;  // a 4000-pixel row
constexpr int kRows = 2000;        // 24 MB: large enough to be warmed

uint8_t Value(int y) { return uint8_t(y * 7 + 1); }  // never 0, which is what the warming threads write

// Writes rows [0, rows) in blocks of `block` rows, as a decoder does, each announced first.
void WriteRows(PlaneWarmer& warmer, uint8_t* plane, int rows, int block) {
  for (int y = 0; y < rows; y += block) {
    const int end = std::min(rows, y + block);
    warmer.Reach(end);
    for (int r = y; r < end; ++r) std::memset(plane + size_t(r) * kStride, Value(r), kStride);
  }
}

int RowsIntact(const uint8_t* plane, int rows) {
  int intact = 0;
  for (int y = 0; y < rows; ++y) {
    const uint8_t* row = plane + size_t(y) * kStride;
    bool same = true;
    for (size_t x = 0; x < kStride && same; ++x) same = row[x] == Value(y);
    intact += same;
  }
  return intact;
}

}  // namespace

TEST(PlaneWarmer, WriterRowsSurviveWhoeverReachesABandFirst) {
  struct Case {
    int block;
    DWORD headStartMs;  // how long the warming threads run before the writer starts
  };
  for (const Case c : {Case{16, 0}, Case{1, 0}, Case{7, 30}, Case{kRows, 30}}) {
    SCOPED_TRACE(testing::Message() << "block " << c.block << ", head start " << c.headStartMs);
    std::vector<uint8_t> plane(kStride * kRows);
    int warmed = 0;
    {
      PlaneWarmer warmer(plane.data(), kStride, kRows);
      Sleep(c.headStartMs);
      WriteRows(warmer, plane.data(), kRows, c.block);
      warmed = warmer.WarmedBands();
    }
    EXPECT_EQ(RowsIntact(plane.data(), kRows), kRows);
    if (c.headStartMs > 0) {
      EXPECT_GT(warmed, 0);
    }
  }
}

TEST(PlaneWarmer, StopsWhenTheWriterGivesUpPartWay) {
  std::vector<uint8_t> plane(kStride * kRows);
  {
    PlaneWarmer warmer(plane.data(), kStride, kRows);
    WriteRows(warmer, plane.data(), kRows / 3, 16);  // a decode that failed a third of the way down
  }
  EXPECT_EQ(RowsIntact(plane.data(), kRows / 3), kRows / 3);
}

TEST(PlaneWarmer, SmallPlanesAreLeftToTheWriter) {
  std::vector<uint8_t> plane(kStride * 16);
  PlaneWarmer warmer(plane.data(), kStride, 16);
  WriteRows(warmer, plane.data(), 16, 4);
  EXPECT_EQ(warmer.WarmedBands(), 0);
  EXPECT_EQ(RowsIntact(plane.data(), 16), 16);
}
