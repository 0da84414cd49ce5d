#include "LibrarySettings.h"

namespace {
constexpr const char* BackgroundsSection = "Backgrounds";
constexpr const char* MasksSection = "Masks";
constexpr const char* GraphicsSection = "Graphics";
}  // namespace

void LibrarySettings::Load(const char* section, bool withFromField) {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  path = app->GetProfileString(section, "Path", "");
  reference = app->GetProfileInt(section, "Reference", 1) != 0;
  keepPath = app->GetProfileInt(section, "KeepPath", 1) != 0;
  if (withFromField) fromField = app->GetProfileString(section, "FromField", "");
}

void LibrarySettings::Save(const char* section, bool withFromField) const {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  app->WriteProfileString(section, "Path", path);
  app->WriteProfileInt(section, "Reference", reference ? 1 : 0);
  app->WriteProfileInt(section, "KeepPath", keepPath ? 1 : 0);
  if (withFromField) app->WriteProfileString(section, "FromField", fromField);
}

LibrarySettings& GetBackgroundsSettings() {
  static LibrarySettings settings;
  return settings;
}

LibrarySettings& GetMasksSettings() {
  static LibrarySettings settings;
  return settings;
}

LibrarySettings& GetGraphicsSettings() {
  static LibrarySettings settings;
  return settings;
}

void LoadBackgroundsSettings() { GetBackgroundsSettings().Load(BackgroundsSection, true); }
void SaveBackgroundsSettings() { GetBackgroundsSettings().Save(BackgroundsSection, true); }
void LoadMasksSettings() { GetMasksSettings().Load(MasksSection, true); }
void SaveMasksSettings() { GetMasksSettings().Save(MasksSection, true); }
void LoadGraphicsSettings() { GetGraphicsSettings().Load(GraphicsSection, false); }
void SaveGraphicsSettings() { GetGraphicsSettings().Save(GraphicsSection, false); }
