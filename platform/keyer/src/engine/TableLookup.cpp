#include "TableLookup.h"

#include <algorithm>

#include "keyer/LutGeometry.h"

namespace keyer {

TableLookup::TableLookup() {
  const uint32_t axis[3] = {LutGeometry::kAxisNodes * LutGeometry::kAxisNodes, LutGeometry::kAxisNodes, 1};
  for (int code = 0; code < 256; ++code) {
    for (int a = 0; a < 3; ++a) {
      offset_[a][code] = static_cast<uint32_t>(code / LutGeometry::kStep) * axis[a];
      position_[a][code] = static_cast<uint8_t>((code % LutGeometry::kStep) << (2 * (2 - a)));
    }
  }
  far_ = axis[0] + axis[1] + axis[2];
  for (int combo = 0; combo < 64; ++combo) {
    int f[3] = {(combo >> 4) & 3, (combo >> 2) & 3, combo & 3};
    int order[3] = {0, 1, 2};
    std::stable_sort(order, order + 3, [&](int x, int y) { return f[x] > f[y]; });
    Tetrahedron& t = tetra_[combo];
    t.second = axis[order[0]];
    t.third = axis[order[0]] + axis[order[1]];
    t.w0 = static_cast<uint16_t>(4 - f[order[0]]);
    t.w1 = static_cast<uint16_t>(f[order[0]] - f[order[1]]);
    t.w2 = static_cast<uint16_t>(f[order[1]] - f[order[2]]);
    t.w3 = static_cast<uint16_t>(f[order[2]]);
  }
}

const TableLookup& TableLookup::Shared() {
  static const TableLookup tables;
  return tables;
}

}  // namespace keyer
