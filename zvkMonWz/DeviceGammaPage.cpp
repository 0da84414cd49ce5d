// The device-gamma page: one trackbar and one line pattern per colour channel.
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>

#include "GammaPictures.h"
#include "WizardPages.h"
#include "resource.h"

namespace monwz {

namespace {

constexpr int kTrackbars[3] = {IDC_GAMMA_RED, IDC_GAMMA_GREEN, IDC_GAMMA_BLUE};
constexpr int kPatterns[3] = {IDC_PATTERN_RED, IDC_PATTERN_GREEN, IDC_PATTERN_BLUE};
constexpr int kLowest = 10;
constexpr int kHighest = 35;

int PositionOf(float gamma) {
  // Clamped before the conversion: a caller's absurd gamma must not overflow the integer.
  double position = static_cast<double>(gamma) * 10 + 0.5;
  return static_cast<int>(std::clamp(position, double{kLowest}, double{kHighest}));
}

int ChannelOfTrackbar(int id) {
  for (int channel = 0; channel < 3; ++channel)
    if (kTrackbars[channel] == id) return channel;
  return -1;
}

void DrawPattern(HWND page, int channel, float gamma) {
  HWND control = GetDlgItem(page, kPatterns[channel]);
  auto bitmap = reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
  if (!bitmap) {
    RECT client;
    GetClientRect(control, &client);
    bitmap = MakeDibSection(client.right, client.bottom, nullptr);
    if (!bitmap) return;
    auto previous =
        reinterpret_cast<HBITMAP>(SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(bitmap)));
    if (previous && previous != bitmap) DeleteObject(previous);
  }
  DrawGammaPattern(bitmap, channel, gamma);
  InvalidateRect(control, nullptr, FALSE);
}

void OnScroll(HWND page, WPARAM wParam, HWND trackbar) {
  const int channel = ChannelOfTrackbar(GetDlgCtrlID(trackbar));
  if (channel < 0) return;
  const int code = LOWORD(wParam);
  const int position = code == TB_THUMBTRACK || code == TB_THUMBPOSITION
                           ? static_cast<short>(HIWORD(wParam))
                           : static_cast<int>(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
  const float gamma = static_cast<float>(position / 10.0);
  CalibrationContext* context = PageContext(page);
  if (gamma == context->working.Device(channel)) return;
  context->working.Device(channel) = gamma;
  DrawPattern(page, channel, gamma);
}

}  // namespace

INT_PTR CALLBACK DeviceGammaPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      CalibrationContext* context = InitPage(page, lParam);
      for (int channel = 0; channel < 3; ++channel) {
        HWND trackbar = GetDlgItem(page, kTrackbars[channel]);
        SendMessageA(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(kLowest, kHighest));
        SendMessageA(trackbar, TBM_SETPOS, TRUE, PositionOf(context->working.Device(channel)));
        DrawPattern(page, channel, context->working.Device(channel));
      }
      return TRUE;
    }
    case WM_HSCROLL:
      OnScroll(page, wParam, reinterpret_cast<HWND>(lParam));
      return TRUE;
    case WM_DESTROY:
      for (int pattern : kPatterns) {
        auto bitmap =
            reinterpret_cast<HBITMAP>(SendDlgItemMessageA(page, pattern, STM_SETIMAGE, IMAGE_BITMAP, 0));
        if (bitmap) DeleteObject(bitmap);
      }
      break;
    case WM_NOTIFY:
      if (ActivatePage(page, lParam, PSWIZB_BACK | PSWIZB_NEXT)) return PageResult(page, 0);
      break;
  }
  return FALSE;
}

}  // namespace monwz
