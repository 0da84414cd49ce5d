// The four gammas the wizard measures and keeps machine-wide, and how they are read and written.
#pragma once

#include <windows.h>

namespace monwz {

constexpr float kDefaultGamma = 2.2f;
constexpr const char* kSettingsKey = "Software\\Corvanith\\Monitor Calibration";

struct Gammas {
  float deviceRed = kDefaultGamma;
  float deviceGreen = kDefaultGamma;
  float deviceBlue = kDefaultGamma;
  float target = kDefaultGamma;

  float& Device(int channel) { return channel == 0 ? deviceRed : channel == 1 ? deviceGreen : deviceBlue; }
  float Device(int channel) const {
    return channel == 0 ? deviceRed : channel == 1 ? deviceGreen : deviceBlue;
  }
};

// Whether a gamma from a caller, the registry or the user is usable: finite and greater than 0.1,
// compared in single precision as the gammas are kept.
bool IsUsableGamma(float value);

// Reads the four values under `root`\`subKey`. A missing key keeps the defaults; a value that is
// missing, of another type, not a plain decimal number or not usable reads as 2.2, so that one bad
// value never makes the object impossible to create. Only a key that cannot be opened for another
// reason than "not found" fails (0x80070000 | the error), with every gamma at its default.
HRESULT LoadGammas(HKEY root, const char* subKey, Gammas& gammas);

// Creates or opens the key and writes red, green, blue and the target in fixed notation; the first
// failure ends it (0x80070000 | the error).
HRESULT SaveGammas(HKEY root, const char* subKey, const Gammas& gammas);

}  // namespace monwz
