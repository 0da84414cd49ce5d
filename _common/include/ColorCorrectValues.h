// The six colour-correction slider values of one image.
#pragma once

#include "Archive.h"

#include <oaidl.h>

#include <cstdint>

constexpr const char* ColorCorrectValuesSourceFile = "General.cpp";
constexpr int ColorCorrectValuesSchemaLine = 348;

struct ColorCorrectValues {
  int32_t red = 0;
  int32_t green = 0;
  int32_t blue = 0;
  int32_t intensity = 0;
  int32_t contrast = 0;
  int32_t saturation = 0;

  void Clear() { *this = ColorCorrectValues(); }
  bool IsZero() const {
    return red == 0 && green == 0 && blue == 0 && intensity == 0 && contrast == 0 && saturation == 0;
  }
  bool operator==(const ColorCorrectValues& other) const {
    return red == other.red && green == other.green && blue == other.blue && intensity == other.intensity &&
           contrast == other.contrast && saturation == other.saturation;
  }
  bool operator!=(const ColorCorrectValues& other) const { return !(*this == other); }

  // The four 256-entry tables the image library applies, into a cleared VARIANT: VT_ARRAY | VT_UI1 of
  // [256][4] with lower bounds 0, table k being the run (0..255, k): master, red, green, blue. Raising one
  // balance raises its channel and lowers the other two at half the rate; contrast moves the master
  // table's clip points. Throws std::bad_alloc when the array cannot be made; leaves the VARIANT empty
  // when it cannot be filled.
  void BuildTables(VARIANT* tables) const;

  // The factor handed to the image library's saturation call.
  float GetSaturationFactor() const;

  // Gain of a balance or intensity value: 1 + 0.05 x upwards, 1 + 0.0125 x downwards.
  static float GainOf(double value);
  // Contrast and saturation factors: 0.02 x.
  static float FactorOf(double value);
  // The slider values back from a stored gain or factor, rounded half away from zero.
  static int32_t ValueOfGain(float gain);
  static int32_t ValueOfFactor(float factor);
};

// The stored block: u16 0x0200 (0x0100 when the saturation is 0), then the gains of red, green, blue and
// intensity, the contrast factor and, in version 2 only, the saturation factor, each a float32.
void WriteColorCorrectValues(zvk::Archive& archive, const ColorCorrectValues& values);
// A version-1 block carries no saturation: the record starts from the defaults, so the saturation is 0.
// The target changes only when the whole block was read.
void ReadColorCorrectValues(zvk::Archive& archive, ColorCorrectValues& values);
