// A dialog template resource read before any dialog is made from it: its font and the base units
// of that font, so that sizes in dialog units can be turned into pixels ahead of time.
#pragma once

#include "classlib/ClassLib.h"

struct CDialogTemplateInfo {
  HRSRC resource = nullptr;
  HGLOBAL loaded = nullptr;  // null when the template is a private copy
  BOOL extended = FALSE;
  const BYTE* bytes = nullptr;

  CDialogTemplateInfo() = default;
  ~CDialogTemplateInfo();
  CDialogTemplateInfo(const CDialogTemplateInfo&) = delete;
  CDialogTemplateInfo& operator=(const CDialogTemplateInfo&) = delete;

  // Finds, loads and locks the dialog resource of the module; FALSE when there is none.
  BOOL Open(HINSTANCE module, UINT id);

  DWORD GetStyle() const;
  // The template's width and height in dialog units.
  SIZE GetSizeInDialogUnits() const;
  // FALSE only when the face name cannot be stored (the last error is then E_OUTOFMEMORY). A
  // template without DS_SETFONT gives 0, 0, FALSE and an empty name.
  BOOL GetFont(WORD& pointSize, WORD& weight, BOOL& italic, CString& faceName) const;
  // The dialog base units of the template's font; FALSE when the display context or the font
  // cannot be made.
  BOOL GetBaseUnits(int& horizontal, int& vertical) const;

  static int WidthToPixels(int dialogUnits, int horizontal) { return dialogUnits * horizontal / 4; }
  static int HeightToPixels(int dialogUnits, int vertical) { return dialogUnits * vertical / 8; }
};
