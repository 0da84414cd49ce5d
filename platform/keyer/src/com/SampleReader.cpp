#include "SampleReader.h"

#include <oleauto.h>

HRESULT SampleReader::ReadOne(const VARIANT& sample, uint32_t& colour) {
  if (sample.vt == VT_I4) {
    colour = static_cast<uint32_t>(sample.lVal);
  } else if (sample.vt == VT_UI4) {
    colour = sample.ulVal;
  } else {
    return E_INVALIDARG;
  }
  if (colour > 0xFFFFFF) return E_INVALIDARG;  // not a plain RGB COLORREF
  return S_OK;
}

HRESULT SampleReader::Read(const VARIANT& sample, std::vector<uint32_t>& colours) {
  colours.clear();
  if (!(sample.vt & VT_ARRAY)) {
    uint32_t c = 0;
    HRESULT hr = ReadOne(sample, c);
    if (SUCCEEDED(hr)) colours.push_back(c);
    return hr;
  }
  VARTYPE element = sample.vt & ~VT_ARRAY;
  if ((element != VT_I4 && element != VT_UI4) || (sample.vt & VT_BYREF)) return E_INVALIDARG;
  SAFEARRAY* array = sample.parray;
  if (!array) return E_INVALIDARG;
  UINT dims = SafeArrayGetDim(array);
  if (dims < 1 || dims > 2 || SafeArrayGetElemsize(array) != 4) return E_INVALIDARG;
  unsigned long long count = 1;
  for (UINT d = 1; d <= dims; ++d) {
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetLBound(array, d, &lower)) || FAILED(SafeArrayGetUBound(array, d, &upper)))
      return E_INVALIDARG;
    long long extent = static_cast<long long>(upper) - lower + 1;
    if (extent <= 0) return E_INVALIDARG;
    count *= static_cast<unsigned long long>(extent);
    if (count > (1ull << 31)) return E_INVALIDARG;
  }
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return E_INVALIDARG;
  const uint32_t* values = static_cast<const uint32_t*>(data);
  unsigned long long step = (count + kMaxColours - 1) / kMaxColours;
  colours.reserve(static_cast<size_t>(count / step + 1));
  for (unsigned long long i = 0; i < count; i += step) colours.push_back(values[i] & 0xFFFFFF);
  SafeArrayUnaccessData(array);
  return colours.empty() ? E_INVALIDARG : S_OK;
}
