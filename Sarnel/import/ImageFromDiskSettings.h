// The disk import's settings (section "Image From Disk", module key "ImportFromDisk"): the folder and
// file-name mask the file list is filled from, the order of the list, the processing of the images
// and how an imported file is recorded.
#pragma once

#include "ImportProcessingChoice.h"

class ImageFromDiskSettings : public ImportProcessingChoice {
 public:
  static ImageFromDiskSettings& Instance();

  CString path;
  int32_t firstNumber = 0;  // the mask's limits, 0 for none; not kept
  int32_t lastNumber = 0;
  CString prefix;
  int32_t numberWidth = 1;
  CString suffix;
  CString extension;
  bool reference = true;  // only a preview is stored; the original file is read when needed
  bool keepPath = true;   // with reference: the full path is recorded, else only the name
  int32_t order = 0;      // 0 numeric, 1 alphabetic

  void Load();
  void Save() const;

  static constexpr const char* Section = "Image From Disk";
  static constexpr const char* ModuleKey = "ImportFromDisk";
};
