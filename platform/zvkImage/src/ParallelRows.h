// Splits rows of pixel work into parts for the process's worker pool. Parts are claimed as threads come
// free, so there are a few more of them than threads; work too small to pay for the hand-over stays on the
// calling thread.
#pragma once

#include <algorithm>
#include <cstdint>

#include "workers/WorkerPool.h"

namespace zvkImage {

// Below about a quarter of a megapixel per part, handing the part to another thread costs more than it saves
// (a draft-sized picture is keyed or resampled on the calling thread alone).
constexpr int64_t kMinPartPixels = int64_t(1) << 18;
constexpr int kPartsPerThread = 3;

// body(begin, end) over [0, count) in `parts` contiguous pieces (at most count); the first exception thrown
// by a piece is rethrown on the caller's thread once every piece has ended.
template <class Body>
void ParallelParts(int count, int parts, Body&& body) {
  if (count <= 0) return;
  parts = std::clamp(parts, 1, count);
  if (parts == 1) {
    body(0, count);
    return;
  }
  workers::WorkerPool::Shared().Run(
      parts, [&](int p) { body(int(int64_t(count) * p / parts), int(int64_t(count) * (p + 1) / parts)); });
}

inline int PartsForThreads() { return workers::WorkerPool::Cores() * kPartsPerThread; }

// body(begin, end) over [0, count) items (bands, rows) in parts of at least minPerPart items.
template <class Body>
void ParallelRows(int count, int minPerPart, Body&& body) {
  ParallelParts(count, std::min(PartsForThreads(), count / std::max(1, minPerPart)), body);
}

// The parts that rows each costing about rowPixels pixels' work are split into.
inline int PixelRowParts(int rows, int64_t rowPixels) {
  const int64_t byCost = int64_t(std::max(rows, 0)) * std::max<int64_t>(rowPixels, 1) / kMinPartPixels;
  return int(std::clamp<int64_t>(byCost, 1, PartsForThreads()));
}

// body(begin, end) over [0, rows) rows that each cost about rowPixels pixels' work, split by that cost.
template <class Body>
void ParallelPixelRows(int rows, int64_t rowPixels, Body&& body) {
  ParallelParts(rows, PixelRowParts(rows, rowPixels), body);
}

}  // namespace zvkImage
