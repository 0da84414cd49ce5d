// Where the import panel places new images: to the end, inserted or replacing from a position, in
// forward or reverse order. User-interface thread only.
#pragma once

#include <cstdint>

struct ImagesImportSettings {
  enum : int32_t { ToEnd = 0, Insert = 1, Replace = 2 };
  int32_t Mode = ToEnd;       // the panel's radio buttons; not kept in the profile
  int32_t Position = 0;       // 0-based list position for Insert and Replace; advanced by each import
  bool Reverse = false;       // "Images Import" "Reverse"
  bool FollowImages = false;  // "Images Import" "FollowImages"
};

// The one instance of the process, built on first use.
ImagesImportSettings& GetImagesImportSettings();
