// A colour transform sampled once into a 65x65x65 table of 16-bit entries and applied with tetrahedral
// interpolation: the system's conversion is far too slow per pixel for cells and exports. Where a cell of
// the table touches the edge of the target's gamut, the clipping bends the conversion inside the cell, so
// the pixels of such cells still go through the system's transform (in one batch per row).
#pragma once

#include <cstdint>
#include <vector>

#include "Mscms.h"

namespace zvk {

class ColourTable {
 public:
  static constexpr int kGrid = 65;

  // Samples the transform at every grid point; the transform must outlive the table. Raises like
  // ColourTransform.
  explicit ColourTable(const ColourTransform& transform);

  // Converts rows of 24-bit pixels (blue, green, red in memory) in place, on all cores for large blocks.
  void ApplyBgrRows(uint8_t* bits, int width, int height, int stride) const;

 private:
  void ApplyRow(uint8_t* row, int width) const;
  const ColourTransform& transform_;
  std::vector<uint16_t> table_;   // [r][g][b] -> r, g, b, in 0..65535
  std::vector<uint8_t> clipped_;  // per cell [r][g][b] of (kGrid - 1)^3: converted by the system
  uint8_t cell_[256];             // grid cell of an 8-bit input value
  uint16_t weight_[256];          // position inside the cell, 0..65536
};

}  // namespace zvk
