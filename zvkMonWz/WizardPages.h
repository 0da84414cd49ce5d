// The dialog procedures of the wizard's pages and the two sheets they make up.
#pragma once

#include <windows.h>

#include "CalibrationContext.h"

namespace monwz {

INT_PTR CALLBACK BlackWhitePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DeviceGammaPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TargetGammaPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The full-screen brightness test, modal and without an owner.
void RunFullScreenTest(CalibrationContext& context);

// The seven-page wizard; context.finished tells Finish from Cancel. -1 when it could not be shown.
INT_PTR RunWizardSheet(CalibrationContext& context, HWND parent);
// One of the one-page sheets (dialog 208 or 210) with only Cancel. -1 when it could not be shown.
INT_PTR RunCannotRunSheet(CalibrationContext& context, HWND parent, int dialogId);

}  // namespace monwz
