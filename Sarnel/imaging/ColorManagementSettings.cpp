#include "ColorManagementSettings.h"

#include <windows.h>

#include "classlib/Profile.h"

namespace zvk {

namespace {
constexpr const char* kSection = "Color Management";
}  // namespace

bool IsIcmAvailable() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
  if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return version.dwMinorVersion != 0;
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
}

ColorManagementSettings& ColorManagementSettings::Current() {
  static ColorManagementSettings settings;
  return settings;
}

void ColorManagementSettings::Load(const CProfile& profile) {
  if (!IsIcmAvailable()) return;
  enabled = profile.GetProfileInt(kSection, "Enabled", enabled ? 1 : 0) != 0;
  // The stored intent numbers saturation and relative colorimetric the other way round.
  switch (static_cast<int>(profile.GetProfileInt(kSection, "Intent", -1))) {
    case 1:
      intent = 2;
      break;
    case 2:
      intent = 1;
      break;
    case 3:
      intent = 3;
      break;
    default:
      intent = 0;
  }
  const int stored = static_cast<int>(profile.GetProfileInt(kSection, "BitmapSpace", 0));
  const int named = static_cast<int>(profile.GetProfileInt(kSection, "BitmapSpaceStd", 0));
  if (stored == 0)
    bitmapSpace = named >= 2 && named <= 9 ? named : 1;
  else if (stored == 1)
    bitmapSpace = -2;
  else if (stored == -1)
    bitmapSpace = -1;
  else
    bitmapSpace = 1;
  iccFile =
      static_cast<const char*>(profile.GetProfileString(kSection, "BitmapSpaceIccFile", iccFile.c_str()));
  softProofing = false;
}

void ColorManagementSettings::Save(CProfile& profile) const {
  if (!IsIcmAvailable()) return;
  static const int kStoredIntent[4] = {0, 2, 1, 3};
  profile.WriteProfileInt(kSection, "Enabled", enabled ? 1 : 0);
  profile.WriteProfileInt(kSection, "Intent", intent >= 0 && intent < 4 ? kStoredIntent[intent] : 0);
  profile.WriteProfileInt(kSection, "BitmapSpace", bitmapSpace == -2 ? 1 : bitmapSpace == -1 ? -1 : 0);
  profile.WriteProfileInt(kSection, "BitmapSpaceStd", bitmapSpace >= 1 && bitmapSpace <= 9 ? bitmapSpace : 0);
  profile.WriteProfileString(kSection, "BitmapSpaceIccFile", iccFile.c_str());
  for (const char* old : {"BitmapSpaceStdCustom", "BitmapSpaceIccLink", "BitmapSpaceIcmBlob"})
    profile.WriteProfileString(kSection, old, nullptr);
}

}  // namespace zvk
