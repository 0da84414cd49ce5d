#include "ImagesImportSettings.h"

#include "classlib/ClassLib.h"

namespace {
constexpr const char* Section = "Images Import";
}  // namespace

ImagesImportSettings& GetImagesImportSettings() {
  static ImagesImportSettings settings;
  return settings;
}

void ImagesImportSettings::Load() {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return;
  Reverse = app->GetProfileInt(Section, "Reverse", 0) != 0;
  FollowImages = app->GetProfileInt(Section, "FollowImages", 0) != 0;
  UseExif = app->GetProfileInt(Section, "UseExif", 1) != 0;
}

void ImagesImportSettings::Save() const {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return;
  app->WriteProfileInt(Section, "Reverse", Reverse ? 1 : 0);
  app->WriteProfileInt(Section, "FollowImages", FollowImages ? 1 : 0);
  app->WriteProfileInt(Section, "UseExif", UseExif ? 1 : 0);
}
