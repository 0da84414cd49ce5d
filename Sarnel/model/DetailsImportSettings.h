// The settings of the image details text import, kept in memory for the run of the program.
#pragma once

#include "DetailsFieldSettings.h"

struct DetailsImportSettings {
  enum FileType { FixedWidth = 0, Delimited = 1 };
  enum MatchOn { MatchImageNumber = 0, MatchImageTag = 1 };
  enum ExistingMode { LeaveExisting = 0, AlwaysReplace = 1, ReplaceBlank = 2, UpdateExisting = 3 };

  int32_t fileType = Delimited;
  char delimiter = ',';
  bool byTab = false;
  int32_t matchOn = MatchImageNumber;
  int32_t existingMode = ReplaceBlank;
  FieldPosition keyPosition;
  DetailsFieldSettings fieldPositions;
  CString lastFolder;
};

// The one instance of the process.
DetailsImportSettings& GetDetailsImportSettings();
