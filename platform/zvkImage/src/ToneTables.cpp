#include "ToneTables.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zvkImage {
namespace {

bool ReadElement(const uint8_t* p, VARTYPE type, int64_t& out) {
  switch (type) {
    case VT_I1:
      out = *reinterpret_cast<const int8_t*>(p);
      return true;
    case VT_UI1:
      out = *p;
      return true;
    case VT_I2:
      out = *reinterpret_cast<const int16_t*>(p);
      return true;
    case VT_UI2:
      out = *reinterpret_cast<const uint16_t*>(p);
      return true;
    case VT_I4:
    case VT_INT:
      out = *reinterpret_cast<const int32_t*>(p);
      return true;
    case VT_UI4:
    case VT_UINT:
      out = *reinterpret_cast<const uint32_t*>(p);
      return true;
    default:
      return false;
  }
}

}  // namespace

HRESULT ToneTables::FromVariant(const VARIANT& value, ChannelTables& tables) {
  VARTYPE vt = value.vt;
  if (vt == VT_EMPTY) return S_FALSE;
  if (!(vt & VT_ARRAY)) return DISP_E_TYPEMISMATCH;
  SAFEARRAY* array = (vt & VT_BYREF) ? (value.pparray ? *value.pparray : nullptr) : value.parray;
  if (!array) return E_INVALIDARG;
  const VARTYPE element = vt & VT_TYPEMASK;
  const UINT dims = SafeArrayGetDim(array);
  const UINT elementSize = SafeArrayGetElemsize(array);
  if (dims < 1 || dims > 2) return E_INVALIDARG;
  int64_t probe;
  const uint8_t zero[8] = {};
  if (!ReadElement(zero, element, probe)) return DISP_E_TYPEMISMATCH;
  const UINT expected =
      (element == VT_I1 || element == VT_UI1) ? 1 : ((element == VT_I2 || element == VT_UI2) ? 2 : 4);
  if (elementSize != expected) return DISP_E_TYPEMISMATCH;
  auto extent = [&](UINT dim) -> int64_t {
    LONG lo = 0, hi = -1;
    if (FAILED(SafeArrayGetLBound(array, dim, &lo)) || FAILED(SafeArrayGetUBound(array, dim, &hi))) return 0;
    return int64_t(hi) - int64_t(lo) + 1;
  };
  const int64_t entryCount = extent(1), planeCount = dims == 2 ? extent(2) : 1;
  if (entryCount < 2 || entryCount > (1 << 24) || planeCount < 1) return E_INVALIDARG;
  const ULONG entries = ULONG(entryCount), planes = ULONG(planeCount);
  if (planes != 1 && planes != 3 && planes != 4) return E_INVALIDARG;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data)) || !data) return E_INVALIDARG;
  // Element (entry, plane) lies at plane * entries + entry: each plane is one run of entries.
  uint8_t curves[4][256];
  const double toIndex = double(entries - 1) / 255.0, toByte = 255.0 / double(entries - 1);
  for (ULONG plane = 0; plane < planes; ++plane)
    for (int a = 0; a < 256; ++a) {
      const size_t index = size_t(plane) * entries + size_t(std::lround(a * toIndex));
      int64_t v = 0;
      ReadElement(static_cast<const uint8_t*>(data) + index * elementSize, element, v);
      v = std::clamp<int64_t>(v, 0, int64_t(entries) - 1);
      curves[plane][a] = uint8_t(std::lround(double(v) * toByte));
    }
  SafeArrayUnaccessData(array);
  const uint8_t* r = curves[0];
  const uint8_t* g = curves[planes >= 3 ? planes - 2 : 0];
  const uint8_t* b = curves[planes >= 3 ? planes - 1 : 0];
  if (planes == 3) r = curves[0], g = curves[1], b = curves[2];
  if (planes == 4) r = curves[1], g = curves[2], b = curves[3];
  for (int a = 0; a < 256; ++a) {
    tables.red[a] = planes == 4 ? curves[0][r[a]] : r[a];
    tables.green[a] = planes == 4 ? curves[0][g[a]] : g[a];
    tables.blue[a] = planes == 4 ? curves[0][b[a]] : b[a];
  }
  return S_OK;
}

}  // namespace zvkImage
