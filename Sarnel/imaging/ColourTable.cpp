#include "ColourTable.h"

#include <algorithm>
#include <cstring>

#include "workers/WorkerPool.h"

namespace zvk {

namespace {

// Grid points on the 8-bit scale: 0, 4, ..., 252, 255, so that every point is an exact input value.
int GridValue(int i) { return i == ColourTable::kGrid - 1 ? 255 : i * 4; }

// Near black the target's curve bends too sharply for the table as well.
constexpr uint16_t kDarkEdge = 32 * 257;

}  // namespace

ColourTable::ColourTable(const ColourTransform& transform) : transform_(transform) {
  constexpr int n = kGrid;
  for (int v = 0; v < 256; ++v) {
    const int c = std::min(v / 4, n - 2);
    cell_[v] = static_cast<uint8_t>(c);
    const int lo = GridValue(c), hi = GridValue(c + 1);
    weight_[v] = static_cast<uint16_t>(std::min(65535, ((v - lo) * 65536 + (hi - lo) / 2) / (hi - lo)));
  }
  // One packed row per (red, green), blue along the row; blue, green, red in memory.
  const int stride = n * 3;
  std::vector<uint8_t> pixels(static_cast<size_t>(stride) * n * n);
  for (int r = 0; r < n; ++r)
    for (int g = 0; g < n; ++g) {
      uint8_t* row = pixels.data() + static_cast<size_t>(r * n + g) * stride;
      for (int b = 0; b < n; ++b)
        row[b * 3] = uint8_t(GridValue(b)), row[b * 3 + 1] = uint8_t(GridValue(g)),
                row[b * 3 + 2] = uint8_t(GridValue(r));
    }
  transform.TranslateBgrRows(pixels.data(), n, n * n, stride);
  table_.resize(static_cast<size_t>(n) * n * n * 3);
  for (int r = 0; r < n; ++r)
    for (int g = 0; g < n; ++g) {
      const uint8_t* row = pixels.data() + static_cast<size_t>(r * n + g) * stride;
      for (int b = 0; b < n; ++b) {
        uint16_t* e = &table_[((static_cast<size_t>(r) * n + g) * n + b) * 3];
        e[0] = uint16_t(row[b * 3 + 2] * 257), e[1] = uint16_t(row[b * 3 + 1] * 257),
        e[2] = uint16_t(row[b * 3] * 257);
      }
    }
  const int cells = n - 1;
  clipped_.assign(static_cast<size_t>(cells) * cells * cells, 0);
  for (int r = 0; r < cells; ++r)
    for (int g = 0; g < cells; ++g)
      for (int b = 0; b < cells; ++b) {
        bool edge = false;
        for (int corner = 0; corner < 8 && !edge; ++corner) {
          const uint16_t* e =
              &table_[((size_t(r + (corner >> 2)) * n + g + ((corner >> 1) & 1)) * n + b + (corner & 1)) * 3];
          for (int c = 0; c < 3; ++c) edge = edge || e[c] <= kDarkEdge || e[c] == 65535;
        }
        clipped_[(size_t(r) * cells + g) * cells + b] = edge;
      }
  exact_ = std::make_unique<std::atomic<uint8_t*>[]>(clipped_.size());
  for (size_t i = 0; i < clipped_.size(); ++i) exact_[i].store(nullptr, std::memory_order_relaxed);
}

ColourTable::~ColourTable() {
  for (size_t i = 0; i < clipped_.size(); ++i) delete[] exact_[i].load(std::memory_order_relaxed);
}

const uint8_t* ColourTable::ExactCell(size_t index, int r, int g, int b) const {
  if (uint8_t* cell = exact_[index].load(std::memory_order_acquire)) return cell;
  std::unique_ptr<uint8_t[]> made(new uint8_t[64 * 3]);
  for (int i = 0; i < 64; ++i) {
    made[i * 3] = uint8_t(b * 4 + (i & 3));
    made[i * 3 + 1] = uint8_t(g * 4 + ((i >> 2) & 3));
    made[i * 3 + 2] = uint8_t(r * 4 + (i >> 4));
  }
  transform_.TranslateBgrRows(made.get(), 64, 1, 64 * 3);
  // Two threads may convert the same cell at once: the first one's result stays.
  uint8_t* expected = nullptr;
  if (exact_[index].compare_exchange_strong(expected, made.get(), std::memory_order_acq_rel))
    return made.release();
  return expected;
}

void ColourTable::ApplyRow(uint8_t* row, int width) const {
  constexpr int n = kGrid, cells = kGrid - 1;
  constexpr size_t sr = size_t(n) * n * 3, sg = size_t(n) * 3, sb = 3;
  for (int x = 0; x < width; ++x, row += 3) {
    const int b = row[0], g = row[1], r = row[2];
    const size_t cell = (size_t(cell_[r]) * cells + cell_[g]) * cells + cell_[b];
    if (clipped_[cell]) {
      const uint8_t* exact =
          ExactCell(cell, cell_[r], cell_[g], cell_[b]) + ((r & 3) * 16 + (g & 3) * 4 + (b & 3)) * 3;
      row[0] = exact[0], row[1] = exact[1], row[2] = exact[2];
      continue;
    }
    const uint16_t* base = &table_[cell_[r] * sr + cell_[g] * sg + cell_[b] * sb];
    const uint32_t fr = weight_[r], fg = weight_[g], fb = weight_[b];
    // The tetrahedron of the unit cube that holds the point, walked from the cell's corner to the far one:
    // first along the axis where the point lies furthest into the cell, last along the nearest. Chosen
    // without branches: noisy pixels pick a different tetrahedron at random, and mispredicted branches
    // would cost more than the arithmetic. Ties give zero weight to the step they decide.
    const uint32_t hi = std::max({fr, fg, fb}), lo = std::min({fr, fg, fb}), mid = fr + fg + fb - hi - lo;
    const size_t s1 = fr == hi ? sr : fg == hi ? sg : sb;
    const size_t s3 = fb == lo ? sb : fg == lo ? sg : sr;
    const size_t s2 = sr + sg + sb - s3;
    const uint64_t w0 = 65536 - hi, w1 = hi - mid, w2 = mid - lo, w3 = lo;  // sum 65536
    const uint16_t* p1 = base + s1;
    const uint16_t* p2 = base + s2;
    const uint16_t* p3 = base + sr + sg + sb;
    for (int c = 0; c < 3; ++c) {
      const uint64_t v = base[c] * w0 + p1[c] * w1 + p2[c] * w2 + p3[c] * w3;  // 0..65535 * 65536
      // To 8 bits with rounding: v / 65536 / 257.
      row[2 - c] = static_cast<uint8_t>((v + 257 * 32768) / (257 * 65536));
    }
  }
}

void ColourTable::ApplyBgrRows(uint8_t* bits, int width, int height, int stride) const {
  if (width <= 0 || height <= 0) return;
  // Parts of at least 16 K pixels, a few per core, on the process's worker pool.
  const int cores = workers::WorkerPool::Cores();
  const int parts =
      std::max(1, std::min({cores * 3, height, static_cast<int>(int64_t(width) * height / 16384)}));
  auto run = [&](int part) {
    const int begin = int(int64_t(height) * part / parts), end = int(int64_t(height) * (part + 1) / parts);
    for (int y = begin; y < end; ++y) ApplyRow(bits + static_cast<ptrdiff_t>(y) * stride, width);
  };
  if (parts == 1)
    run(0);
  else
    workers::WorkerPool::Shared().Run(parts, run);
}

}  // namespace zvk
