// How an image view arranges its cells; one per view, kept in the profile.
#pragma once

#include "classlib/ClassLib.h"

class ArrangeSettings {
 public:
  // Six integers of the section under prefix + "Arrange", "NoAcross", "NoDown", "IsLocked",
  // "LockedX", "LockedY"; each missing one keeps the current value.
  void Load(const char* section, const char* prefix);
  void Save(const char* section, const char* prefix) const;

  bool Arrange = true;
  int NoAcross = 2;
  int NoDown = 2;
  bool IsLocked = false;
  int LockedX = 0;
  int LockedY = 0;
};
