// The main window's saved placement and the last mode, kept in the profile section
// "Window State" from one run to the next.
#pragma once

#include "classlib/ClassLib.h"

struct WindowState {
  // 44 bytes in the platform's placement layout; all zero when none is saved.
  WINDOWPLACEMENT placement = {};
  int lastMode = -1;

  // A placement is present when its length field is not zero.
  bool HasPlacement() const { return placement.length != 0; }
  // "MainPlacement" of exactly 44 bytes becomes the placement (any other size clears it);
  // "LastMode" keeps the current value when missing.
  void Load();
  // The placement is always written (zeros when none was recorded); "LastMode" only when set.
  void Save() const;
};

static_assert(sizeof(WINDOWPLACEMENT) == 44, "the stored placement record is 44 bytes");

WindowState& GetWindowState();
