// Every module's profile settings, loaded once at start-up and saved once at exit, each in its
// fixed order. A module joins the tables when it is built.
#pragma once

#include "SharpenValues.h"

#include <functional>
#include <vector>

// One module's settings: how to load and save them, and how to take a copy of its values that puts
// them back (a failed load restores what the module held before it).
struct SettingsModule {
  const char* name;
  std::function<void()> load;
  std::function<void()> save;
  std::function<std::function<void()>()> keep;
};

// Loads every module in order. A module whose load fails is reported, keeps the values it had
// before (at start-up its defaults) and is left out of the save, so its stored values are not
// overwritten; start-up goes on.
void LoadAllSettings();
// Saves every module in order, but only after LoadAllSettings ran: a start that failed before the
// settings were read never overwrites the user's profile. Either way it then releases every LUT list.
void SaveAllSettings();
bool AreSettingsLoaded();

// The names of the modules in load and save order, and those whose load failed (for checks).
std::vector<const char*> GetSettingsLoadOrder();
std::vector<const char*> GetSettingsSaveOrder();
std::vector<const char*> GetFailedSettingsModules();
// Forgets that the settings were loaded (tests start each case afresh).
void ResetSettingsState();
// Puts the steps of the module of that name in place of its own and returns those it replaced (tests
// watch the load and save orders through modules that record their calls).
SettingsModule ReplaceSettingsModule(const SettingsModule& module);
