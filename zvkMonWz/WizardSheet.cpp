// The sheets, and the pages that only show text.
#include <commctrl.h>
#include <prsht.h>

#include <vector>

#include "WizardPages.h"
#include "resource.h"

namespace monwz {

namespace {

struct PageEntry {
  int dialogId;
  DLGPROC procedure;
};

INT_PTR RunSheet(CalibrationContext& context, HWND parent, const std::vector<PageEntry>& entries) {
  std::vector<PROPSHEETPAGEA> pages(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    pages[i] = {};
    pages[i].dwSize = sizeof(PROPSHEETPAGEA);
    pages[i].dwFlags = PSP_DEFAULT;
    pages[i].hInstance = context.resources;
    pages[i].pszTemplate = MAKEINTRESOURCEA(entries[i].dialogId);
    pages[i].pfnDlgProc = entries[i].procedure;
    pages[i].lParam = reinterpret_cast<LPARAM>(&context);
  }
  PROPSHEETHEADERA header = {};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
  header.hwndParent = parent;
  header.hInstance = context.resources;
  header.pszCaption = "Monitor Calibration Wizard";
  header.nPages = static_cast<UINT>(pages.size());
  header.ppsp = pages.data();
  return PropertySheetA(&header);
}

// The pages that only show text: their wizard buttons, and whether they centre the sheet.
template <DWORD buttons, bool centresSheet>
INT_PTR CALLBACK TextPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitPage(page, lParam);
      if (centresSheet) CentreSheet(page);
      return TRUE;
    case WM_NOTIFY:
      if (ActivatePage(page, lParam, buttons)) return PageResult(page, 0);
      if ((buttons & PSWIZB_FINISH) && reinterpret_cast<NMHDR*>(lParam)->code == PSN_WIZFINISH) {
        PageContext(page)->finished = true;
        return PageResult(page, 0);
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK HighColourPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitPage(page, lParam);
      CentreSheet(page);
      return TRUE;
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lParam)->code == PSN_SETACTIVE) {
        // True colour needs no warning: the sheet skips the page in either direction.
        if (PageContext(page)->colourDepth >= 24) return PageResult(page, -1);
        PropSheet_SetWizButtons(GetParent(page), PSWIZB_BACK | PSWIZB_NEXT);
        return PageResult(page, 0);
      }
      break;
  }
  return FALSE;
}

}  // namespace

INT_PTR RunWizardSheet(CalibrationContext& context, HWND parent) {
  context.finished = false;
  return RunSheet(context, parent,
                  {{IDD_WELCOME, TextPageProc<PSWIZB_NEXT, true>},
                   {IDD_HIGH_COLOUR, HighColourPageProc},
                   {IDD_GETTING_STARTED, TextPageProc<PSWIZB_BACK | PSWIZB_NEXT, false>},
                   {IDD_BLACK_WHITE, BlackWhitePageProc},
                   {IDD_DEVICE_GAMMA, DeviceGammaPageProc},
                   {IDD_TARGET_GAMMA, TargetGammaPageProc},
                   {IDD_COMPLETING, TextPageProc<PSWIZB_BACK | PSWIZB_FINISH, false>}});
}

INT_PTR RunCannotRunSheet(CalibrationContext& context, HWND parent, int dialogId) {
  context.finished = false;
  // Neither Back nor Next: Cancel is the only way out.
  return RunSheet(context, parent, {{dialogId, TextPageProc<0, true>}});
}

}  // namespace monwz
