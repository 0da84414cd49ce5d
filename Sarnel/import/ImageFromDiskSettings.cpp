#include "ImageFromDiskSettings.h"

ImageFromDiskSettings& ImageFromDiskSettings::Instance() {
  static ImageFromDiskSettings settings;
  return settings;
}

void ImageFromDiskSettings::Load() {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return;
  path = app->GetProfileString(Section, "Path", "");
  prefix = app->GetProfileString(Section, "FilenamePre", "");
  numberWidth = static_cast<int32_t>(app->GetProfileInt(Section, "FilenameWidth", 1));
  suffix = app->GetProfileString(Section, "FilenamePost", "");
  extension = app->GetProfileString(Section, "FilenameExt", "");
  LoadProcessing(Section, ModuleKey);
  reference = app->GetProfileInt(Section, "Reference", 1) != 0;
  keepPath = app->GetProfileInt(Section, "KeepPath", 1) != 0;
  order = static_cast<int32_t>(app->GetProfileInt(Section, "Order", 0));
}

void ImageFromDiskSettings::Save() const {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return;
  app->WriteProfileString(Section, "Path", path);
  app->WriteProfileString(Section, "FilenamePre", prefix);
  app->WriteProfileInt(Section, "FilenameWidth", numberWidth);
  app->WriteProfileString(Section, "FilenamePost", suffix);
  app->WriteProfileString(Section, "FilenameExt", extension);
  SaveProcessing(Section, ModuleKey);
  app->WriteProfileInt(Section, "Reference", reference ? 1 : 0);
  app->WriteProfileInt(Section, "KeepPath", keepPath ? 1 : 0);
  app->WriteProfileInt(Section, "Order", order);
}
