// The process-wide colour-management choices, kept in the application profile's "Color Management"
// section: on or off, the rendering intent, and the default colour space for jobs.
#pragma once

#include <string>

class CProfile;

namespace zvk {

// True where the platform has image colour management (Windows 98 and ME, NT from version 5 on).
bool IsIcmAvailable();

struct ColorManagementSettings {
  bool enabled = false;
  bool softProofing = false;  // kept while the program runs, never saved
  int intent = 0;             // 0 perceptual, 1 relative colorimetric, 2 saturation, 3 absolute colorimetric
  int bitmapSpace = 1;        // 1..9 named RGB space, -2 the ICC file, -1 none
  std::string iccFile;

  static ColorManagementSettings& Current();

  // Both do nothing where colour management is unavailable.
  void Load(const CProfile& profile);
  void Save(CProfile& profile) const;
};

}  // namespace zvk
