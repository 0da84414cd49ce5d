// The lookup table that applies a state: nodes every 4 codes of each 8-bit channel (65 per axis,
// the last at code 256), interpolated inside each cell of 4 x 4 x 4 codes.
#pragma once

#include <cstdint>

namespace keyer {

struct LutGeometry {
  static constexpr int kStep = 4;
  static constexpr int kAxisNodes = 65;
  static constexpr int kNodes = kAxisNodes * kAxisNodes * kAxisNodes;
  // Node index of (r, g, b) node coordinates, 0..64 each.
  static constexpr uint32_t Index(int r, int g, int b) {
    return (static_cast<uint32_t>(r) * kAxisNodes + g) * kAxisNodes + b;
  }
  // Encoded value (code / 255) of a node coordinate.
  static constexpr double Encoded(int nodeCoordinate) { return nodeCoordinate * kStep / 255.0; }
};

}  // namespace keyer
