#include "ImageCorrections.h"

#include "VariantHolder.h"

#include <comdef.h>

namespace {

using IKeyerStatePtr = _com_ptr_t<_com_IIID<zvkImage::IKeyerState, &__uuidof(zvkImage::IKeyerState)>>;
using IKeyerAreasPtr = _com_ptr_t<_com_IIID<zvkImage::IKeyerAreas, &__uuidof(zvkImage::IKeyerAreas)>>;
using IAdjustPtr = _com_ptr_t<_com_IIID<zvkImage::IAdjust, &__uuidof(zvkImage::IAdjust)>>;

HRESULT ApplyKeyerState(zvkImage::IBitmap* bitmap, const ChromaKey& key, int32_t rotation) {
  IKeyerStatePtr state;
  if (FAILED(bitmap->QueryInterface(__uuidof(zvkImage::IKeyerState), reinterpret_cast<void**>(&state))) ||
      !state)
    return S_FALSE;
  HRESULT hr = state->ApplyState(_bstr_t(static_cast<LPCTSTR>(key.keyerStatePath)));
  if (hr != S_OK) return hr;  // S_FALSE: the state could not be read, and areas alone would key wrongly
  if (key.protectAreas.empty() && key.garbageAreas.empty()) return S_OK;
  IKeyerAreasPtr areas;
  if (FAILED(state->QueryInterface(__uuidof(zvkImage::IKeyerAreas), reinterpret_cast<void**>(&areas))) ||
      !areas)
    return S_OK;
  CString protect, garbage;
  FormatAreaList(key.protectAreas, protect);
  FormatAreaList(key.garbageAreas, garbage);
  const float angle = rotation == 0 ? 0.0f : static_cast<float>(rotation / 3600.0 - 1.0);
  hr = areas->ApplyAreas(_bstr_t(static_cast<LPCTSTR>(protect)), _bstr_t(static_cast<LPCTSTR>(garbage)),
                         angle);
  return FAILED(hr) ? hr : S_OK;
}

HRESULT ApplyHueKey(zvkImage::IBitmap* bitmap, const ChromaKey& key) {
  const int32_t hue = key.keyColour == ChromaKey::KeyColourGreen  ? key.hueOffset + 120
                      : key.keyColour == ChromaKey::KeyColourBlue ? key.hueOffset + 240
                                                                  : -1;
  // Remainders keep their sign: the library wraps negative hues round the circle.
  const float toTurns = 0.0027777778f;
  const float params[5] = {
      static_cast<float>(hue % 360) * toTurns, static_cast<float>(key.hueRange % 360) * toTurns,
      static_cast<float>(key.hueThird % 360) * toTurns, key.edgeThreshold, key.smoothing};
  const HRESULT hr = bitmap->HueKey(params);
  return FAILED(hr) ? hr : S_OK;
}

}  // namespace

bool IsChromaKeyed(const ChromaKey& key) {
  return key.on != 0 && (key.mode == ChromaKey::ModeKeyerState || key.keyColour != ChromaKey::KeyColourNone);
}

bool RotateByTenths(zvkImage::IBitmap* bitmap, int32_t rotation) {
  if (rotation == 0) return true;
  return SUCCEEDED(bitmap->Rotate(static_cast<float>(rotation) * 0.00027777778f));
}

HRESULT ApplyChromaKey(zvkImage::IBitmap* bitmap, const ChromaKey& key, int32_t rotation) {
  if (!IsChromaKeyed(key)) return S_FALSE;
  return key.mode == ChromaKey::ModeKeyerState ? ApplyKeyerState(bitmap, key, rotation)
                                               : ApplyHueKey(bitmap, key);
}

void ApplyColorCorrection(zvkImage::IBitmap* bitmap, const ColorCorrectValues& values) {
  if (values.IsZero()) return;
  VariantHolder tables;
  values.BuildTables(&tables.value);
  bitmap->AddRef();  // the holder takes over one reference
  tables.ApplyTo(bitmap);
  if (values.saturation == 0) return;
  IAdjustPtr adjust;
  if (FAILED(bitmap->QueryInterface(__uuidof(zvkImage::IAdjust), reinterpret_cast<void**>(&adjust))) ||
      !adjust)
    return;
  const HRESULT hr = adjust->Saturation(values.GetSaturationFactor());
  if (FAILED(hr)) _com_issue_errorex(hr, adjust, __uuidof(zvkImage::IAdjust));
}
