// How imports place new images and whether importing runs: to the end, inserted or replacing from
// a position, in forward or reverse order; whether disk imports read identifiers from the files'
// tags. User-interface thread only; the import workers read the values between images.
#pragma once

#include <cstdint>

struct ImagesImportSettings {
  enum : int32_t { ToEnd = 0, Insert = 1, Replace = 2 };
  int32_t Mode = ToEnd;       // the panel's radio buttons; not kept in the profile
  int32_t Position = 0;       // 0-based list position for Insert and Replace; advanced by each import
  bool Reverse = false;       // "Images Import" "Reverse"
  bool FollowImages = false;  // "Images Import" "FollowImages"
  bool UseExif = true;        // "Images Import" "UseExif"
  bool ImportActive = true;   // false while importing is paused; not kept in the profile

  // The three kept values of section "Images Import" (non-zero reads as true; written as 0 or 1).
  void Load();
  void Save() const;
};

// The one instance of the process, built on first use.
ImagesImportSettings& GetImagesImportSettings();
