#include "CalibrationContext.h"

#include <commctrl.h>
#include <prsht.h>

#include "resource.h"

namespace monwz {

namespace {

HFONT MakeFont(HDC screen, int points, int weight, const char* face) {
  LOGFONTA font = {};
  font.lfHeight = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectA(&font);
}

}  // namespace

void MakeFonts(HDC screen, CalibrationContext& context) {
  context.titleFont = MakeFont(screen, 12, FW_BOLD, "Arial");
  context.headerFont = MakeFont(screen, 8, FW_BOLD, "MS Sans Serif");
  context.bodyFont = MakeFont(screen, 8, FW_NORMAL, "MS Shell Dlg");
}

void DeleteFonts(CalibrationContext& context) {
  for (HFONT* font : {&context.titleFont, &context.headerFont, &context.bodyFont}) {
    if (*font) DeleteObject(*font);
    *font = nullptr;
  }
}

CalibrationContext* PageContext(HWND page) {
  return reinterpret_cast<CalibrationContext*>(GetWindowLongPtrA(page, GWLP_USERDATA));
}

CalibrationContext* InitPage(HWND page, LPARAM pageRecord) {
  auto* record = reinterpret_cast<const PROPSHEETPAGEA*>(pageRecord);
  auto* context = reinterpret_cast<CalibrationContext*>(record->lParam);
  SetWindowLongPtrA(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context));
  if (HWND title = GetDlgItem(page, IDC_TITLE))
    SendMessageA(title, WM_SETFONT, WPARAM(context->titleFont), TRUE);
  if (HWND header = GetDlgItem(page, IDC_HEADER))
    SendMessageA(header, WM_SETFONT, WPARAM(context->headerFont), TRUE);
  return context;
}

void CentreSheet(HWND page) {
  HWND sheet = GetParent(page);
  if (!sheet) return;
  RECT window;
  GetWindowRect(sheet, &window);
  RECT around;
  HWND owner = GetWindow(sheet, GW_OWNER);
  if (!owner || !IsWindowVisible(owner) || IsIconic(owner) || !GetWindowRect(owner, &around))
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &around, 0);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  int x = around.left + ((around.right - around.left) - width) / 2;
  int y = around.top + ((around.bottom - around.top) - height) / 2;
  // Keep the whole sheet on the screen when the owner is near an edge.
  RECT screen;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
  if (x + width > screen.right) x = screen.right - width;
  if (y + height > screen.bottom) y = screen.bottom - height;
  if (x < screen.left) x = screen.left;
  if (y < screen.top) y = screen.top;
  SetWindowPos(sheet, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ActivatePage(HWND page, LPARAM notification, DWORD buttons) {
  if (reinterpret_cast<NMHDR*>(notification)->code != PSN_SETACTIVE) return false;
  PropSheet_SetWizButtons(GetParent(page), buttons);
  return true;
}

INT_PTR PageResult(HWND page, LONG_PTR result) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace monwz
