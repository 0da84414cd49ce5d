#include "ModuleSettings.h"

#include "HandlerFrame.h"
#include "LUTList.h"
#include "LibrarySettings.h"
#include "Options.h"
#include "SearchPaths.h"
#include "WindowState.h"

#include <algorithm>
#include <cstring>

namespace {

struct ModuleStep {
  const char* name;
  void (*run)();
};

void LoadWindowState() { GetWindowState().Load(); }
void SaveWindowState() { GetWindowState().Save(); }
void LoadOptions() { GetOptions().Load(); }
void SaveOptions() { GetOptions().Save(); }
void LoadSearchPaths() { GetSearchPaths().Load(); }
void SaveSearchPaths() { GetSearchPaths().Save(); }

// The window state is read again after the options and the colour-management settings.
const ModuleStep LoadSteps[] = {
    {"Window State", &LoadWindowState}, {"Settings", &LoadOptions},
    {"Window State", &LoadWindowState}, {"Graphics", &LoadGraphicsSettings},
    {"Masks", &LoadMasksSettings},      {"Backgrounds", &LoadBackgroundsSettings},
    {"Paths", &LoadSearchPaths},
};

const ModuleStep SaveSteps[] = {
    {"Settings", &SaveOptions},
    {"Window State", &SaveWindowState},
    {"Graphics", &SaveGraphicsSettings},
    {"Masks", &SaveMasksSettings},
    {"Backgrounds", &SaveBackgroundsSettings},
    {"Paths", &SaveSearchPaths},
};

bool settingsLoaded = false;
std::vector<const char*> failedModules;

bool HasFailed(const char* name) {
  return std::any_of(failedModules.begin(), failedModules.end(),
                     [name](const char* failed) { return std::strcmp(failed, name) == 0; });
}

template <size_t N>
std::vector<const char*> Names(const ModuleStep (&steps)[N]) {
  std::vector<const char*> names;
  for (const ModuleStep& step : steps) names.push_back(step.name);
  return names;
}

CString SharpenSection(const char* moduleKey) { return CString("Sharpen\\") + moduleKey; }

}  // namespace

void LoadAllSettings() {
  failedModules.clear();
  for (const ModuleStep& step : LoadSteps) {
    if (!RunInHandlerFrame(step.run) && !HasFailed(step.name)) failedModules.push_back(step.name);
  }
  settingsLoaded = true;
}

void SaveAllSettings() {
  if (settingsLoaded) {
    for (const ModuleStep& step : SaveSteps) {
      if (!HasFailed(step.name)) RunInHandlerFrame(step.run);
    }
  }
  // Last, and also when nothing was saved: every LUT object goes while its component is still loaded,
  // not from a static destructor after OLE has let the component go.
  RunInHandlerFrame(&ClearAllLUTLists);
}

bool AreSettingsLoaded() { return settingsLoaded; }
std::vector<const char*> GetSettingsLoadOrder() { return Names(LoadSteps); }
std::vector<const char*> GetSettingsSaveOrder() { return Names(SaveSteps); }
std::vector<const char*> GetFailedSettingsModules() { return failedModules; }

void ResetSettingsState() {
  settingsLoaded = false;
  failedModules.clear();
}

void LoadSharpenSettings(const char* moduleKey, SharpenValues& values) {
  values.Load(SharpenSection(moduleKey));
}
void SaveSharpenSettings(const char* moduleKey, const SharpenValues& values) {
  values.Save(SharpenSection(moduleKey));
}
