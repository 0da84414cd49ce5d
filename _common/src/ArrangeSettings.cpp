#include "ArrangeSettings.h"

namespace {
CString Key(const char* prefix, const char* name) { return CString(prefix ? prefix : "") + name; }
}  // namespace

void ArrangeSettings::Load(const char* section, const char* prefix) {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  Arrange = static_cast<int>(app->GetProfileInt(section, Key(prefix, "Arrange"), Arrange ? 1 : 0)) == 1;
  NoAcross = static_cast<int>(app->GetProfileInt(section, Key(prefix, "NoAcross"), NoAcross));
  NoDown = static_cast<int>(app->GetProfileInt(section, Key(prefix, "NoDown"), NoDown));
  IsLocked = app->GetProfileInt(section, Key(prefix, "IsLocked"), IsLocked ? 1 : 0) != 0;
  LockedX = static_cast<int>(app->GetProfileInt(section, Key(prefix, "LockedX"), LockedX));
  LockedY = static_cast<int>(app->GetProfileInt(section, Key(prefix, "LockedY"), LockedY));
  if (LockedX == 0 || LockedY == 0) {
    IsLocked = false;
    LockedX = 1;
    LockedY = 1;
  }
}

void ArrangeSettings::Save(const char* section, const char* prefix) const {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  app->WriteProfileInt(section, Key(prefix, "Arrange"), Arrange ? 1 : 0);
  app->WriteProfileInt(section, Key(prefix, "NoAcross"), NoAcross);
  app->WriteProfileInt(section, Key(prefix, "NoDown"), NoDown);
  app->WriteProfileInt(section, Key(prefix, "IsLocked"), IsLocked ? 1 : 0);
  app->WriteProfileInt(section, Key(prefix, "LockedX"), LockedX);
  app->WriteProfileInt(section, Key(prefix, "LockedY"), LockedY);
}
