#include "CalibrationSettings.h"

#include <cmath>

#include "comserver/RegValueKey.h"

namespace monwz {

namespace {

const char* const kValueNames[] = {"DeviceGammaR", "DeviceGammaG", "DeviceGammaB", "TargetGamma"};

float* Slots(Gammas& gammas, int index) {
  switch (index) {
    case 0:
      return &gammas.deviceRed;
    case 1:
      return &gammas.deviceGreen;
    case 2:
      return &gammas.deviceBlue;
    default:
      return &gammas.target;
  }
}

}  // namespace

bool IsUsableGamma(float value) { return std::isfinite(value) && value > 0.1f; }

HRESULT LoadGammas(HKEY root, const char* subKey, Gammas& gammas) {
  gammas = Gammas();
  comserver::RegValueKey key;
  LONG error = key.Open(root, subKey, KEY_QUERY_VALUE);
  if (error == ERROR_FILE_NOT_FOUND) return S_OK;
  if (error != ERROR_SUCCESS) return HRESULT_FROM_WIN32(error);
  for (int i = 0; i < 4; ++i) {
    double value = 0;
    if (key.ReadDouble(kValueNames[i], &value) != ERROR_SUCCESS) continue;
    // A number too large for single precision becomes infinite, which is not usable either.
    const float single = static_cast<float>(value);
    if (IsUsableGamma(single)) *Slots(gammas, i) = single;
  }
  return S_OK;
}

HRESULT SaveGammas(HKEY root, const char* subKey, const Gammas& gammas) {
  comserver::RegValueKey key;
  LONG error = key.Create(root, subKey, KEY_SET_VALUE);
  if (error != ERROR_SUCCESS) return HRESULT_FROM_WIN32(error);
  Gammas values = gammas;
  for (int i = 0; i < 4; ++i) {
    error = key.WriteDouble(kValueNames[i], *Slots(values, i));
    if (error != ERROR_SUCCESS) return HRESULT_FROM_WIN32(error);
  }
  return S_OK;
}

}  // namespace monwz
