#include "ModuleSettings.h"

#include "ColorManagementSettings.h"
#include "HandlerFrame.h"
#include "ImageExportSettings.h"
#include "ImageFromDiskSettings.h"
#include "ImagesFromHotSettings.h"
#include "ImagesImportSettings.h"
#include "JobFileOptions.h"
#include "LUTList.h"
#include "LibrarySettings.h"
#include "OptionValues.h"
#include "Options.h"
#include "SearchPaths.h"
#include "WindowState.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

// A restore step that puts back a copy of the values it was made with.
template <class T>
std::function<void()> KeepCopy(T& values) {
  T copy = values;
  return [&values, copy] { values = copy; };
}

std::function<void()> KeepLibrary(LibrarySettings& (*get)()) { return KeepCopy(get()); }

std::vector<SettingsModule>& Modules() {
  static std::vector<SettingsModule> modules = {
      {"Window State", [] { GetWindowState().Load(); }, [] { GetWindowState().Save(); },
       [] { return KeepCopy(GetWindowState()); }},
      // The options also fill the job-file options and the option values beside them.
      {"Settings", [] { GetOptions().Load(); }, [] { GetOptions().Save(); },
       [] {
         auto options = KeepCopy(GetOptions());
         auto job = KeepCopy(GetJobFileOptions());
         auto values = KeepCopy(GetOptionValues());
         return std::function<void()>([options, job, values] {
           options();
           job();
           values();
         });
       }},
      {"Color Management",
       [] {
         if (CWinApp* app = AfxGetApp()) zvk::ColorManagementSettings::Current().Load(app->GetProfile());
       },
       [] {
         if (CWinApp* app = AfxGetApp()) zvk::ColorManagementSettings::Current().Save(app->GetProfile());
       },
       [] { return KeepCopy(zvk::ColorManagementSettings::Current()); }},
      {"Image From Disk", [] { ImageFromDiskSettings::Instance().Load(); },
       [] { ImageFromDiskSettings::Instance().Save(); },
       [] { return KeepCopy(ImageFromDiskSettings::Instance()); }},
      {"Images From Hot", [] { ImagesFromHotSettings::Instance().Load(); },
       [] { ImagesFromHotSettings::Instance().Save(); },
       [] { return KeepCopy(ImagesFromHotSettings::Instance()); }},
      {"Images Import", [] { GetImagesImportSettings().Load(); }, [] { GetImagesImportSettings().Save(); },
       [] { return KeepCopy(GetImagesImportSettings()); }},
      {"Image Export", [] { ImageExportSettings::Instance().Load(); },
       [] { ImageExportSettings::Instance().Save(); },
       [] { return KeepCopy(ImageExportSettings::Instance()); }},
      {"Graphics", &LoadGraphicsSettings, &SaveGraphicsSettings,
       [] { return KeepLibrary(&GetGraphicsSettings); }},
      {"Masks", &LoadMasksSettings, &SaveMasksSettings, [] { return KeepLibrary(&GetMasksSettings); }},
      {"Backgrounds", &LoadBackgroundsSettings, &SaveBackgroundsSettings,
       [] { return KeepLibrary(&GetBackgroundsSettings); }},
      {"Paths", [] { GetSearchPaths().Load(); }, [] { GetSearchPaths().Save(); },
       [] { return KeepCopy(GetSearchPaths()); }},
  };
  return modules;
}

// The window state is read again after the options and the colour-management settings.
const char* const LoadOrder[] = {"Window State",    "Settings",        "Color Management", "Window State",
                                 "Image From Disk", "Images From Hot", "Images Import",    "Image Export",
                                 "Graphics",        "Masks",           "Backgrounds",      "Paths"};
const char* const SaveOrder[] = {"Settings",        "Color Management", "Window State", "Image From Disk",
                                 "Images From Hot", "Images Import",    "Image Export", "Graphics",
                                 "Masks",           "Backgrounds",      "Paths"};

SettingsModule& Module(const char* name) {
  for (SettingsModule& module : Modules())
    if (std::strcmp(module.name, name) == 0) return module;
  throw std::out_of_range(name);
}

bool settingsLoaded = false;
std::vector<const char*> failedModules;

bool HasFailed(const char* name) {
  return std::any_of(failedModules.begin(), failedModules.end(),
                     [name](const char* failed) { return std::strcmp(failed, name) == 0; });
}

}  // namespace

void LoadAllSettings() {
  failedModules.clear();
  for (const char* name : LoadOrder) {
    const SettingsModule& module = Module(name);
    // A loader that fails is reported and leaves the module as it was before it started.
    std::function<void()> restore;
    bool loaded = RunInHandlerFrame([&] {
      restore = module.keep();
      module.load();
    });
    if (loaded) continue;
    if (restore) RunInHandlerFrame(restore);
    if (!HasFailed(name)) failedModules.push_back(name);
  }
  settingsLoaded = true;
}

void SaveAllSettings() {
  if (settingsLoaded) {
    for (const char* name : SaveOrder) {
      if (!HasFailed(name)) RunInHandlerFrame(Module(name).save);
    }
  }
  // Last, and also when nothing was saved: every LUT object goes while its component is still loaded,
  // not from a static destructor after OLE has let the component go.
  RunInHandlerFrame(&ClearAllLUTLists);
}

bool AreSettingsLoaded() { return settingsLoaded; }
std::vector<const char*> GetSettingsLoadOrder() { return {std::begin(LoadOrder), std::end(LoadOrder)}; }
std::vector<const char*> GetSettingsSaveOrder() { return {std::begin(SaveOrder), std::end(SaveOrder)}; }
std::vector<const char*> GetFailedSettingsModules() { return failedModules; }

SettingsModule ReplaceSettingsModule(const SettingsModule& module) {
  SettingsModule& current = Module(module.name);
  SettingsModule previous = current;
  current = module;
  current.name = previous.name;
  return previous;
}

void ResetSettingsState() {
  settingsLoaded = false;
  failedModules.clear();
}
