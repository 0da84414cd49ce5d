// Building a screen's menu bar from menu resources.
#pragma once

#include "classlib/ClassLib.h"

// Loads the menu resource, takes its first popup with its caption and appends it to the target as
// a popup. False (nothing appended) when the resource is missing or has no popup.
bool AppendMenuFromResource(HMENU target, UINT menuId);

// Tidies the first popup of a freshly loaded screen menu: removes "Color management ..." when the
// system has no image colour management, removes the commands this program does not offer
// (Merge, Export, Send to lab) and then any doubled separator they leave behind.
void PruneMenu(HMENU popup, bool colourManagementAvailable);
