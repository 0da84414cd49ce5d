// The sharpening setting of a module, and of an image whose import processing sharpened it.
#pragma once

#include "Archive.h"

#include <cstdint>

constexpr const char* SharpenValuesSourceFile = "SharpenValues.cpp";
constexpr int SharpenValuesMarkerLine = 56;
constexpr int SharpenValuesSchemaLine = 59;

struct SharpenValues {
  uint8_t on = 0;
  int16_t kernel = 3;  // 3, 5 or 7
  int16_t strength = 100;

  // The profile integers "On", "Kernel" and "Strength" of a section; a missing key gives off, 3 and 50
  // whatever the record held, and a kernel other than 3, 5 or 7 becomes 3.
  void Load(const char* section);
  void Save(const char* section) const;
};

// A module's sharpening in the profile section "Sharpen\<module key>".
void LoadSharpenSettings(const char* moduleKey, SharpenValues& values);
void SaveSharpenSettings(const char* moduleKey, const SharpenValues& values);

// The stored block: marker byte 42, u16 0x0100, u8 on, u16 kernel, u16 strength.
void WriteSharpenValues(zvk::Archive& archive, const SharpenValues& values);
// Takes the values as stored (no kernel check); the target changes only when the whole block was read.
void ReadSharpenValues(zvk::Archive& archive, SharpenValues& values);
