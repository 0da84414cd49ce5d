#include "MenuResources.h"

#include "resource.h"

bool AppendMenuFromResource(HMENU target, UINT menuId) {
  HMENU loaded = LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(menuId));
  if (loaded == nullptr) return false;
  HMENU popup = GetSubMenu(loaded, 0);
  bool appended = false;
  if (popup != nullptr) {
    char caption[256] = {};
    GetMenuStringA(loaded, 0, caption, sizeof(caption), MF_BYPOSITION);
    RemoveMenu(loaded, 0, MF_BYPOSITION);
    appended = AppendMenuA(target, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), caption) != FALSE;
    if (!appended) DestroyMenu(popup);
  }
  DestroyMenu(loaded);
  return appended;
}

namespace {

bool IsSeparator(HMENU menu, int position) {
  MENUITEMINFOA info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE;
  return GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info) &&
         (info.fType & MFT_SEPARATOR) != 0;
}

}  // namespace

void PruneMenu(HMENU popup, bool colourManagementAvailable) {
  if (popup == nullptr) return;
  if (!colourManagementAvailable) DeleteMenu(popup, ID_COLOR_MANAGEMENT, MF_BYCOMMAND);
  bool removed = false;
  for (UINT command : {ID_FILE_MERGE, ID_FILE_EXPORT, ID_FILE_SEND_TO_LAB}) {
    while (DeleteMenu(popup, command, MF_BYCOMMAND)) removed = true;
  }
  if (!removed) return;
  int position = 0;
  while (position + 1 < GetMenuItemCount(popup)) {
    if (IsSeparator(popup, position) && IsSeparator(popup, position + 1))
      DeleteMenu(popup, static_cast<UINT>(position), MF_BYPOSITION);
    else
      ++position;
  }
}
