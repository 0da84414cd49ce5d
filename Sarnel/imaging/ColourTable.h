// A colour transform sampled once into a 65x65x65 table of 16-bit entries and applied with tetrahedral
// interpolation: the system's conversion is far too slow per pixel for cells and exports. Where a cell of
// the table touches the edge of the target's gamut or the steep start of its curve, interpolation would
// miss; such a cell's 64 colours are converted exactly by the system the first time a pixel falls in it,
// and looked up from then on.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "Mscms.h"

namespace zvk {

class ColourTable {
 public:
  static constexpr int kGrid = 65;

  // Samples the transform at every grid point; the transform must outlive the table. Raises like
  // ColourTransform.
  explicit ColourTable(const ColourTransform& transform);
  ~ColourTable();
  ColourTable(const ColourTable&) = delete;
  ColourTable& operator=(const ColourTable&) = delete;

  // Converts rows of 24-bit pixels (blue, green, red in memory) in place, on all cores for large blocks.
  void ApplyBgrRows(uint8_t* bits, int width, int height, int stride) const;

 private:
  void ApplyRow(uint8_t* row, int width) const;
  // The exact conversions of an edge cell's 4x4x4 colours (blue, green, red each), made on first use.
  const uint8_t* ExactCell(size_t index, int r, int g, int b) const;
  const ColourTransform& transform_;
  std::vector<uint16_t> table_;   // [r][g][b] -> r, g, b, in 0..65535
  std::vector<uint8_t> clipped_;  // per cell [r][g][b] of (kGrid - 1)^3: converted by the system
  mutable std::unique_ptr<std::atomic<uint8_t*>[]> exact_;  // per cell, null until first used
  uint8_t cell_[256];                                       // grid cell of an 8-bit input value
  uint16_t weight_[256];                                    // position inside the cell, 0..65536
};

}  // namespace zvk
