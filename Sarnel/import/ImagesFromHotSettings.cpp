#include "ImagesFromHotSettings.h"

ImagesFromHotSettings& ImagesFromHotSettings::Instance() {
  static ImagesFromHotSettings settings;
  return settings;
}

void ImagesFromHotSettings::Load() {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return;
  onClipboard = app->GetProfileInt(Section, "OnClipboard", 0) != 0;
  onBrisant = app->GetProfileInt(Section, "OnBrisant", 0) != 0;
  LoadProcessing(Section, ModuleKey);
}

void ImagesFromHotSettings::Save() const {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return;
  app->WriteProfileInt(Section, "OnClipboard", onClipboard ? 1 : 0);
  app->WriteProfileInt(Section, "OnBrisant", onBrisant ? 1 : 0);
  SaveProcessing(Section, ModuleKey);
}
