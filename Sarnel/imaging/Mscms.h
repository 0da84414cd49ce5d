// The colour-management system's entry points, loaded at run time (the program still starts where it is
// missing). A missing library or entry point fails the call with last error 2018 (colour management not
// enabled).
#pragma once

#include <windows.h>
// windows.h comes first: icm.h needs its types.
#include <icm.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zvk {

constexpr DWORD kIcmNotEnabled = 2018;

struct MscmsEntries {
  decltype(&::EnumColorProfilesA) EnumColorProfilesA = nullptr;
  decltype(&::CreateProfileFromLogColorSpaceA) CreateProfileFromLogColorSpaceA = nullptr;
  decltype(&::GetStandardColorSpaceProfileA) GetStandardColorSpaceProfileA = nullptr;
  decltype(&::OpenColorProfileA) OpenColorProfileA = nullptr;
  decltype(&::CloseColorProfile) CloseColorProfile = nullptr;
  decltype(&::CreateMultiProfileTransform) CreateMultiProfileTransform = nullptr;
  decltype(&::DeleteColorTransform) DeleteColorTransform = nullptr;
  decltype(&::TranslateBitmapBits) TranslateBitmapBits = nullptr;
};

// The entry points, or null (last error 2018) when the library cannot be loaded; missing entry points
// stay null. Loaded once and kept loaded.
const MscmsEntries* Mscms();

// Sets last error 2018 when err means something was missing (2, 3, 126, 127, 1157); answers false.
bool FailMscms(DWORD err);

// The colour directory itself: GetColorDirectory (ColorDirectory.h).

// The file names of the system's RGB profiles.
bool EnumRgbColorProfiles(std::vector<std::string>& names);

// The path of the system's sRGB profile; empty when there is none.
std::string SystemSrgbProfilePath();

// Owners of profile and transform handles.
class ColourProfile {
 public:
  ColourProfile() = default;
  explicit ColourProfile(HPROFILE h) : h_(h) {}
  ColourProfile(ColourProfile&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
  ColourProfile& operator=(ColourProfile&& o) noexcept;
  ~ColourProfile();
  HPROFILE Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

  static ColourProfile FromFile(const std::string& path);
  // The bytes are copied by the system.
  static ColourProfile FromMemory(const std::vector<uint8_t>& bytes);

 private:
  HPROFILE h_ = nullptr;
};

class ColourTransform {
 public:
  ColourTransform() = default;
  explicit ColourTransform(HTRANSFORM h) : h_(h) {}
  ColourTransform(ColourTransform&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
  ColourTransform& operator=(ColourTransform&& o) noexcept;
  ~ColourTransform();
  HTRANSFORM Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

  // Source to target with the program's intent index (0 perceptual, 1 saturation, 2 relative and 3 absolute
  // colorimetric). Raises CMyException with the system's error (E_FAIL when it leaves none).
  static ColourTransform Create(const ColourProfile& source, const ColourProfile& target, int intent);

  // Converts rows of 24-bit BGR pixels in place. Raises like Create.
  void TranslateBgrRows(void* bits, int width, int height, int stride) const;

 private:
  HTRANSFORM h_ = nullptr;
};

// The ICC intent for the program's intent index (anything else perceptual).
DWORD IccIntentFromIndex(int intent);

// An HRESULT for a failed system call: its last error, or E_FAIL when it left none.
HRESULT LastErrorOrFail();

}  // namespace zvk
