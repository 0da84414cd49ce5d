// What the pages of one Calibrate share: the display's colour depth, the three fonts, the working
// gammas and the module whose resources the pages come from.
#pragma once

#include <windows.h>

#include "CalibrationSettings.h"

namespace monwz {

struct CalibrationContext {
  HINSTANCE resources = nullptr;
  int colourDepth = 32;  // planes x bits per pixel
  HFONT titleFont = nullptr;
  HFONT headerFont = nullptr;
  HFONT bodyFont = nullptr;
  Gammas working;
  bool finished = false;
};

// Makes the title, header and body fonts for the given screen device context; DeleteFonts frees them.
void MakeFonts(HDC screen, CalibrationContext& context);
void DeleteFonts(CalibrationContext& context);

// The page's context, kept in its user data from WM_INITDIALOG on.
CalibrationContext* PageContext(HWND page);
// Stores the context passed in the page record and gives controls 205 and 206 their fonts.
CalibrationContext* InitPage(HWND page, LPARAM pageRecord);
// Centres the sheet around `page` on its owner, or on the screen without one.
void CentreSheet(HWND page);
// On PSN_SETACTIVE sets the page's wizard buttons and answers true; false for other notifications.
bool ActivatePage(HWND page, LPARAM notification, DWORD buttons);
// Answers a notification from a page's dialog procedure.
INT_PTR PageResult(HWND page, LONG_PTR result);

}  // namespace monwz
