#include "CorrectionTables.h"

#include <oleauto.h>

#include <cmath>

namespace monwz {

namespace {

VARTYPE ElementType(short bitDepth) {
  if (bitDepth <= 8) return VT_UI1;
  if (bitDepth <= 15) return VT_I2;
  if (bitDepth == 16) return VT_UI2;
  if (bitDepth <= 31) return VT_I4;
  return VT_UI4;
}

template <class Element>
void FillPlane(Element* plane, uint64_t entries, float exponent) {
  for (uint64_t i = 0; i < entries; ++i)
    plane[i] = static_cast<Element>(CorrectionEntry(i, entries, exponent));
}

HRESULT FillPlanes(SAFEARRAY* array, const Gammas& gammas, uint64_t entries) {
  void* data = nullptr;
  HRESULT hr = SafeArrayAccessData(array, &data);
  if (FAILED(hr)) return hr;
  // The first dimension varies fastest: each channel's plane is one run of `entries` elements.
  for (int channel = 0; channel < 3 && SUCCEEDED(hr); ++channel) {
    float exponent = CorrectionExponent(gammas.target, gammas.Device(channel));
    switch (array->cbElements) {
      case 1:
        FillPlane(static_cast<uint8_t*>(data) + channel * entries, entries, exponent);
        break;
      case 2:
        FillPlane(static_cast<uint16_t*>(data) + channel * entries, entries, exponent);
        break;
      case 4:
        FillPlane(static_cast<uint32_t*>(data) + channel * entries, entries, exponent);
        break;
      default:
        hr = E_UNEXPECTED;
        break;
    }
  }
  SafeArrayUnaccessData(array);
  return hr;
}

}  // namespace

float CorrectionExponent(float target, float device) { return target / device; }

uint32_t CorrectionEntry(uint64_t i, uint64_t entries, float exponent) {
  const uint64_t top = entries - 1;
  if (top == 0) return 0;
  float level = static_cast<float>(i) / static_cast<float>(top);
  double value =
      static_cast<double>(top) * std::pow(static_cast<double>(level), static_cast<double>(exponent)) + 0.5;
  if (!(value >= 0)) return 0;
  if (value >= static_cast<double>(top)) return static_cast<uint32_t>(top);
  return static_cast<uint32_t>(value);
}

HRESULT MakeCorrectionTables(const Gammas& gammas, short bitDepth, VARIANT* val) {
  if (!val) return E_POINTER;
  VariantInit(val);
  // Depth 32 would need 2^32 entries per plane: the size limit refuses it like any other large table.
  if (bitDepth < 1 || bitDepth > 32) return E_INVALIDARG;
  const uint64_t entries = uint64_t{1} << bitDepth;
  const VARTYPE type = ElementType(bitDepth);
  const uint64_t elementSize = type == VT_UI1 ? 1 : (type == VT_I2 || type == VT_UI2) ? 2 : 4;
  if (entries * 3 * elementSize > kMaxTableBytes) return E_OUTOFMEMORY;
  // [entries][3]: the first dimension varies fastest in memory.
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(entries), 0}, {3, 0}};
  SAFEARRAY* array = SafeArrayCreate(type, 2, bounds);
  if (!array) return E_OUTOFMEMORY;
  HRESULT hr = FillPlanes(array, gammas, entries);
  if (FAILED(hr)) {
    SafeArrayDestroy(array);
    return hr;
  }
  val->vt = static_cast<VARTYPE>(VT_ARRAY | type);
  val->parray = array;
  return S_OK;
}

PreviewTables MakePreviewTables(const Gammas& gammas) {
  PreviewTables tables{};
  for (int channel = 0; channel < 3; ++channel) {
    float exponent = CorrectionExponent(gammas.target, gammas.Device(channel));
    for (uint32_t v = 0; v < 256; ++v)
      tables[channel][v] = static_cast<uint8_t>(CorrectionEntry(v, 256, exponent));
  }
  return tables;
}

}  // namespace monwz
