// Fills callers' SAFEARRAYs with a curve's tables: one plane per channel, in the array's own
// length and element type.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "LutParameters.h"

namespace lut {

class LutTableFill {
 public:
  // The table of `channel` into the array held by `value` (1-D), or with channel 0 the three or
  // four planes of a 2-D array whose second dimension is [0..2], [1..3] or [0..3].
  static HRESULT FillArray(const LutParameters& parameters, long channel, VARIANT& value);
  // A new array in the curve's own length and element type: 1-D for grey, [N][4] for RGB.
  static HRESULT CreateTable(const LutParameters& parameters, VARIANT* table);

  // Tables larger than this are refused before anything is allocated.
  static constexpr ULONGLONG kMaxTableBytes = ULONGLONG{256} << 20;

 private:
  static HRESULT FillPlane(const LutParameters& parameters, int slot, SAFEARRAY* array, unsigned elementSize,
                           LONG planeOffset);
  static HRESULT FillManual(const LutParameters& parameters, int slot, void* target, unsigned elementSize,
                            ULONGLONG entries);
};

}  // namespace lut
