// Looking a colour up in a state's table: the table offset of each code's cell along each axis and the
// tetrahedron of the cell that holds the colour. Shared by the keying pass and the map of the screen it
// measures first, so that both see a pixel alike.
#pragma once

#include <cstdint>

namespace keyer {

class TableLookup {
 public:
  // Per combination of the three positions inside a cell: the offsets of the tetrahedron's second and
  // third corners and its four weights (summing to 4).
  struct Tetrahedron {
    uint32_t second, third;
    uint16_t w0, w1, w2, w3;
  };

  static const TableLookup& Shared();

  // The node lanes interpolated at (r, g, b), in 1/64 of a node unit: B, G, R and alpha, 16 bits each.
  uint64_t Interpolate(const uint64_t* table, uint32_t bias, uint8_t r, uint8_t g, uint8_t b) const {
    const uint32_t base = offset_[0][r] + offset_[1][g] + offset_[2][b] - bias;
    const Tetrahedron& t = tetra_[position_[0][r] | position_[1][g] | position_[2][b]];
    return table[base] * t.w0 + table[base + t.second] * t.w1 + table[base + t.third] * t.w2 +
           table[base + far_] * t.w3 + 0x0020002000200020ull;
  }
  // Alpha (of 255) the table gives to one colour.
  uint8_t Alpha(const uint64_t* table, uint32_t bias, uint8_t r, uint8_t g, uint8_t b) const {
    return static_cast<uint8_t>((Interpolate(table, bias, r, g, b) >> 54) & 0xFF);
  }

 private:
  TableLookup();

  uint32_t offset_[3][256];
  uint8_t position_[3][256];
  Tetrahedron tetra_[64];
  uint32_t far_;
};

}  // namespace keyer
