// Turns a table VARIANT into the three 8-bit channel tables that PixelOps applies.
//
// Accepted: VT_EMPTY (no tables); VT_ARRAY (or VT_BYREF | VT_ARRAY) of VT_I1, VT_UI1, VT_I2, VT_UI2, VT_I4,
// VT_UI4, VT_INT or VT_UINT with N >= 2 entries in the first dimension (values 0..N-1, an N-entry table of a
// 2^bits curve) and either no second dimension (one table for all channels), or 1, 3 (red, green, blue) or
// 4 (master, red, green, blue) planes in it. With a master plane each channel goes through its own table and
// then through the master. Wider tables are read at the entry nearest to the 8-bit input and scaled back.
#pragma once

#include <oaidl.h>

#include "PixelOps.h"

namespace zvkImage {

class ToneTables {
 public:
  // S_OK with tables; S_FALSE for VT_EMPTY; E_INVALIDARG (or DISP_E_TYPEMISMATCH) for anything else.
  static HRESULT FromVariant(const VARIANT& value, ChannelTables& tables);
};

}  // namespace zvkImage
