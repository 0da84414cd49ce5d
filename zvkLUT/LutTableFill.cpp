#include "LutTableFill.h"

#include <oleauto.h>

#include "LutCurve.h"
#include "LutResampler.h"

namespace lut {

namespace {

// The element size a bit depth accepts for `elementType`, 0 when it does not accept it.
unsigned AcceptedElementSize(int32_t bitDepth, VARTYPE elementType) {
  switch (elementType) {
    case VT_I1:
    case VT_UI1:
      if (bitDepth < 8 || (bitDepth == 8 && elementType == VT_UI1)) return 1;
      return 0;
    case VT_I2:
      return bitDepth <= 15 ? 2 : 0;
    case VT_UI2:
      return bitDepth <= 16 ? 2 : 0;
    case VT_I4:
    case VT_INT:
      return bitDepth <= 31 ? 4 : 0;
    case VT_UI4:
    case VT_UINT:
      return 4;
    default:
      return 0;
  }
}

// Arrays whose elements own something (strings, interfaces, variants) must never be written bytes.
bool HoldsPlainData(const SAFEARRAY* array) {
  return (array->fFeatures & (FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH | FADF_VARIANT | FADF_RECORD)) == 0;
}

class ArrayAccess {
 public:
  explicit ArrayAccess(SAFEARRAY* array) : m_array(array) { m_hr = SafeArrayAccessData(array, &m_data); }
  ~ArrayAccess() {
    if (SUCCEEDED(m_hr)) SafeArrayUnaccessData(m_array);
  }
  HRESULT Result() const { return m_hr; }
  unsigned char* Data() const { return static_cast<unsigned char*>(m_data); }

 private:
  SAFEARRAY* m_array;
  void* m_data = nullptr;
  HRESULT m_hr;
};

}  // namespace

HRESULT LutTableFill::FillArray(const LutParameters& p, long channel, VARIANT& value) {
  if ((value.vt & VT_ARRAY) == 0) return E_INVALIDARG;
  SAFEARRAY* array = nullptr;
  if (value.vt & VT_BYREF) {
    if (!value.pparray) return E_INVALIDARG;
    array = *value.pparray;
  } else {
    array = value.parray;
  }
  if (!array) return E_INVALIDARG;

  if (p.bitDepth > 32) return E_UNEXPECTED;
  unsigned size = AcceptedElementSize(p.bitDepth, value.vt & VT_TYPEMASK);
  if (size == 0 || array->cbElements != size || !HoldsPlainData(array)) return E_INVALIDARG;

  UINT dimensions = SafeArrayGetDim(array);
  if (dimensions != 1 && dimensions != 2) return E_INVALIDARG;

  if (p.channelSet == kChannelSetGreyscale || dimensions == 1) {
    if (dimensions != 1) return E_INVALIDARG;
    int slot = p.MapChannel(channel);
    if (slot < 0) return E_INVALIDARG;
    return FillPlane(p, slot, array, size, 0);
  }
  if (channel != 0 || p.channelSet != kChannelSetRGB) return E_INVALIDARG;
  LONG lower = 0, upper = 0;
  if (FAILED(SafeArrayGetLBound(array, 2, &lower)) || FAILED(SafeArrayGetUBound(array, 2, &upper)))
    return E_INVALIDARG;
  int firstSlot;
  if ((lower == 0 && upper == 2) || (lower == 1 && upper == 3))
    firstSlot = 1;  // red, green, blue
  else if (lower == 0 && upper == 3)
    firstSlot = 0;  // all, red, green, blue
  else
    return E_INVALIDARG;
  for (int slot = firstSlot, plane = 0; slot <= 3; ++slot, ++plane) {
    HRESULT hr = FillPlane(p, slot, array, size, plane);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT LutTableFill::FillPlane(const LutParameters& p, int slot, SAFEARRAY* array, unsigned size,
                                LONG plane) {
  LONG lower = 0, upper = 0;
  if (FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper)))
    return E_INVALIDARG;
  if (lower != 0 && lower != 1) return E_INVALIDARG;
  LONGLONG count = static_cast<LONGLONG>(upper) - lower + 1;
  if (count < 1) return E_INVALIDARG;
  ULONGLONG entries = static_cast<ULONGLONG>(count);
  // The largest entry must fit the element unsigned, or the table would wrap.
  if (size < 8 && entries - 1 > (ULONGLONG{1} << (8 * size)) - 1) return E_INVALIDARG;

  ArrayAccess access(array);
  if (FAILED(access.Result())) return access.Result();
  unsigned char* target = access.Data() + static_cast<ULONGLONG>(plane) * entries * size;
  if (p.type == kTypeManual) return FillManual(p, slot, target, size, entries);
  LutCurve::Fill(LutCurve::Shape(p, slot, entries), target, size);
  return S_OK;
}

HRESULT LutTableFill::FillManual(const LutParameters& p, int slot, void* target, unsigned size,
                                 ULONGLONG entries) {
  const VARIANT& table = p.manual[slot];
  if ((table.vt & VT_ARRAY) == 0 || (table.vt & VT_BYREF) || !table.parray) return E_FAIL;
  SAFEARRAY* source = table.parray;
  unsigned sourceSize = ManualElementSize(table.vt & VT_TYPEMASK);
  if (sourceSize == 0 || source->cbElements != sourceSize || SafeArrayGetDim(source) != 1) return E_FAIL;
  LONG lower = 0, upper = 0;
  if (FAILED(SafeArrayGetLBound(source, 1, &lower)) || FAILED(SafeArrayGetUBound(source, 1, &upper)))
    return E_FAIL;
  LONGLONG count = static_cast<LONGLONG>(upper) - lower + 1;
  if (count < 1) return E_FAIL;
  ArrayAccess access(source);
  if (FAILED(access.Result())) return access.Result();
  LutResampler::Resample(access.Data(), sourceSize, static_cast<ULONGLONG>(count), target, size, entries);
  return S_OK;
}

HRESULT LutTableFill::CreateTable(const LutParameters& p, VARIANT* table) {
  VARTYPE elementType;
  unsigned size;
  if (p.bitDepth >= 1 && p.bitDepth <= 8) {
    elementType = VT_UI1, size = 1;
  } else if (p.bitDepth <= 15) {
    elementType = VT_I2, size = 2;
  } else if (p.bitDepth == 16) {
    elementType = VT_UI2, size = 2;
  } else if (p.bitDepth <= 31) {
    elementType = VT_I4, size = 4;
  } else if (p.bitDepth == 32) {
    elementType = VT_UI4, size = 4;
  } else {
    return E_UNEXPECTED;
  }
  UINT dimensions;
  ULONGLONG planes;
  if (p.channelSet == kChannelSetGreyscale) {
    dimensions = 1, planes = 1;
  } else if (p.channelSet == kChannelSetRGB) {
    dimensions = 2, planes = 4;
  } else {
    return E_UNEXPECTED;
  }
  const ULONGLONG entries = ULONGLONG{1} << p.bitDepth;
  if (entries * size * planes > kMaxTableBytes) return E_OUTOFMEMORY;

  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(entries), 0}, {4, 0}};
  SAFEARRAY* array = SafeArrayCreate(elementType, dimensions, bounds);
  if (!array) return E_OUTOFMEMORY;
  VARIANT filled;
  filled.vt = static_cast<VARTYPE>(VT_ARRAY | elementType);
  filled.parray = array;
  HRESULT hr = FillArray(p, 0, filled);
  if (FAILED(hr)) {
    SafeArrayDestroy(array);
    return hr;
  }
  *table = filled;
  return S_OK;
}

}  // namespace lut
