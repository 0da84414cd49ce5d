// The operator's program-wide preferences: one record for the process, read from the profile
// section "Settings" once at start-up and written back once at exit.
#pragma once

#include "classlib/ClassLib.h"

#include <cstdint>

// The actions a numeric-keypad key can have, in the order of the Image Correct page's lists.
enum KeypadAction : int32_t {
  KeypadNone = 0,
  KeypadRedUp,
  KeypadRedDown,
  KeypadGreenUp,
  KeypadGreenDown,
  KeypadBlueUp,
  KeypadBlueDown,
  KeypadIntensityUp,
  KeypadIntensityDown,
  KeypadContrastUp,
  KeypadContrastDown,
  KeypadSaturationUp,
  KeypadSaturationDown,
  KeypadActionCount
};

// The keypad keys: the digits 0 to 9, then divide, multiply, minus, plus and dot.
constexpr int KeypadKeyCount = 15;

class COptions {
 public:
  COptions();

  // Every key of the section in its fixed order; a missing key keeps the value held now, and a
  // stored value out of its range falls back as each option's rule says.
  void Load();
  // Writes what the program owns back; "FileOnNew", "PrintSectionChar", "PrintIndexChar" and
  // "MonitorTemplatePaths" are only read, so a value edited outside survives the program.
  void Save() const;

  bool UseMetricUnits = false;
  float ViewSizeWidth = 11.0f;   // inches
  float ViewSizeHeight = 11.0f;  // inches
  CString EditImageEXE;
  int32_t EditImageFormat = 0;  // 0 or 1
  bool ViewImageTags = false;
  bool ViewImageTagExt = true;
  bool ViewImageTagged = true;
  bool ClickImageOnOff = true;
  bool SolidARLines = false;
  bool ImagesCorrectSpins = false;
  bool ImagesCorrectDirectionKeys = false;
  bool ImagesCorrectUseKbd = false;
  int32_t KeypadActions[KeypadKeyCount];
  bool ImagesCorrectUseDevice = false;
};

// The one record of the process, built on first use.
COptions& GetOptions();
// "Settings": other modules keep keys of their own in and under it.
const char* GetSettingsSection();
// The profile key of a keypad key: "ImagesCorrect" and "0".."9", "Divide", "Multiply", "Minus",
// "Plus" or "Dot".
CString KeypadKeyName(int key);
