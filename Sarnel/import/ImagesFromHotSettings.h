// The hot source's settings (section "Images From Hot", module key "ImportFromHot"): which sources
// are watched and the processing of their images.
#pragma once

#include "ImportProcessingChoice.h"

class ImagesFromHotSettings : public ImportProcessingChoice {
 public:
  static ImagesFromHotSettings& Instance();

  bool onClipboard = false;
  bool onBrisant = false;

  void Load();
  void Save() const;

  static constexpr const char* Section = "Images From Hot";
  static constexpr const char* ModuleKey = "ImportFromHot";
};
