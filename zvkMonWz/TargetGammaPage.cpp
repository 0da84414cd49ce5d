// The target-gamma page: the value with its up-down, and two previews through the tables.
#include <commctrl.h>
#include <prsht.h>

#include <cstdlib>
#include <string>

#include "GammaPictures.h"
#include "WizardPages.h"
#include "comserver/RegValueKey.h"
#include "resource.h"

namespace monwz {

namespace {

constexpr double kHighestTarget = 3.5;

void ShowTarget(HWND page, double value) {
  std::string text;
  if (!comserver::FormatFixedDouble(value, text)) text = "2.2";
  SetDlgItemTextA(page, IDC_TARGET_EDIT, text.c_str());
}

// The edit's text as a number; false when it is not one.
bool ReadTarget(HWND page, double& value) {
  char text[64] = {};
  GetDlgItemTextA(page, IDC_TARGET_EDIT, text, sizeof(text));
  char* end = nullptr;
  value = strtod(text, &end);
  return end != text && *end == '\0';
}

void SetBitmap(HWND page, int control, HBITMAP bitmap) {
  auto previous = reinterpret_cast<HBITMAP>(
      SendDlgItemMessageA(page, control, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(bitmap)));
  if (previous && previous != bitmap) DeleteObject(previous);
}

void DrawPreviews(HWND page) {
  CalibrationContext* context = PageContext(page);
  const PreviewTables tables = MakePreviewTables(context->working);
  HWND ramp = GetDlgItem(page, IDC_RAMP_PREVIEW);
  DrawRampPreview(reinterpret_cast<HBITMAP>(SendMessageA(ramp, STM_GETIMAGE, IMAGE_BITMAP, 0)), tables);
  InvalidateRect(ramp, nullptr, FALSE);
  auto photograph = static_cast<HBITMAP>(LoadImageA(context->resources, MAKEINTRESOURCEA(IDB_PHOTOGRAPH),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ApplyPreviewTables(photograph, tables);
  SetBitmap(page, IDC_PHOTO_PREVIEW, photograph);
  InvalidateRect(GetDlgItem(page, IDC_PHOTO_PREVIEW), nullptr, FALSE);
}

void OnEditChange(HWND page) {
  CalibrationContext* context = PageContext(page);
  double value = 0;
  const bool number = ReadTarget(page, value);
  if (number && static_cast<float>(value) == context->working.target) return;
  if (number && IsUsableGamma(static_cast<float>(value)) && value <= kHighestTarget) {
    context->working.target = static_cast<float>(value);
    DrawPreviews(page);
    return;
  }
  MessageBeep(0);
  ShowTarget(page, context->working.target);
}

// A step moves the value against the step's sign by 0.1, never below 0.1; the up-down's own
// position is not used.
void OnSpin(HWND page, const NMUPDOWN& change) {
  double value = 0;
  if (!ReadTarget(page, value)) value = PageContext(page)->working.target;
  value -= 0.1 * change.iDelta;
  if (!(value >= 0.1)) value = 0.1;
  ShowTarget(page, value);
}

}  // namespace

INT_PTR CALLBACK TargetGammaPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      CalibrationContext* context = InitPage(page, lParam);
      ShowTarget(page, context->working.target);
      RECT client;
      GetClientRect(GetDlgItem(page, IDC_RAMP_PREVIEW), &client);
      if (HBITMAP ramp = MakeDibSection(client.right, client.bottom, nullptr))
        SetBitmap(page, IDC_RAMP_PREVIEW, ramp);
      DrawPreviews(page);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_TARGET_EDIT && HIWORD(wParam) == EN_CHANGE) {
        OnEditChange(page);
        return TRUE;
      }
      break;
    case WM_DESTROY:
      SetBitmap(page, IDC_RAMP_PREVIEW, nullptr);
      SetBitmap(page, IDC_PHOTO_PREVIEW, nullptr);
      break;
    case WM_NOTIFY: {
      auto* notification = reinterpret_cast<NMHDR*>(lParam);
      if (notification->idFrom == IDC_TARGET_SPIN && notification->code == UDN_DELTAPOS) {
        OnSpin(page, *reinterpret_cast<NMUPDOWN*>(lParam));
        return PageResult(page, TRUE);
      }
      if (ActivatePage(page, lParam, PSWIZB_BACK | PSWIZB_NEXT)) {
        DrawPreviews(page);
        return PageResult(page, 0);
      }
      break;
    }
  }
  return FALSE;
}

}  // namespace monwz
