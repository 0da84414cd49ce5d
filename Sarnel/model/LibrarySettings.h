// The profile settings of the background, mask and graphic libraries: process-wide values, loaded once
// at start-up and saved once at exit.
#pragma once

#include "classlib/ClassLib.h"

struct LibrarySettings {
  CString path;           // "Path": the folder last used to pick a picture file
  bool reference = true;  // "Reference"
  bool keepPath = true;   // "KeepPath"
  CString fromField;      // "FromField": the detail field last chosen (not in "Graphics")

  // Reads the keys of a section; a missing key gives an empty text or true.
  void Load(const char* section, bool withFromField);
  void Save(const char* section, bool withFromField) const;
};

LibrarySettings& GetBackgroundsSettings();
LibrarySettings& GetMasksSettings();
LibrarySettings& GetGraphicsSettings();

void LoadBackgroundsSettings();
void SaveBackgroundsSettings();
void LoadMasksSettings();
void SaveMasksSettings();
void LoadGraphicsSettings();
void SaveGraphicsSettings();
