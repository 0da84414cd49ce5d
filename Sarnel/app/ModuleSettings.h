// Every module's profile settings, loaded once at start-up and saved once at exit, each in its
// fixed order. A module joins the tables when it is built.
#pragma once

#include "SharpenValues.h"

#include <vector>

// Loads every module in order. A module whose load fails is reported, keeps its defaults and is
// left out of the save, so its stored values are not overwritten; start-up goes on.
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

// "Sharpen\<module key>".
void LoadSharpenSettings(const char* moduleKey, SharpenValues& values);
void SaveSharpenSettings(const char* moduleKey, const SharpenValues& values);
