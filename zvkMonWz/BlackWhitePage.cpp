// The black-and-white-points page and its full-screen brightness test.
#include <commctrl.h>
#include <prsht.h>

#include "GammaPictures.h"
#include "WizardPages.h"
#include "resource.h"

namespace monwz {

namespace {

void SetIcon(HWND page, int control, HINSTANCE resources, int iconId) {
  HICON icon =
      static_cast<HICON>(LoadImageA(resources, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  if (icon) SendDlgItemMessageA(page, control, STM_SETICON, WPARAM(icon), 0);
}

void RemoveIcon(HWND page, int control) {
  HICON icon = reinterpret_cast<HICON>(SendDlgItemMessageA(page, control, STM_SETICON, 0, 0));
  if (icon) DestroyIcon(icon);
}

RECT ChildRect(HWND parent, int control) {
  RECT rect = {};
  HWND child = GetDlgItem(parent, control);
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void MoveChild(HWND parent, int control, int x, int y, int width, int height) {
  SetWindowPos(GetDlgItem(parent, control), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void LayOutFullScreen(HWND window) {
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const RECT square = ChildRect(window, IDC_TEST_SQUARE);
  const RECT above = ChildRect(window, IDC_CENTRE_TEXT);
  const RECT below = ChildRect(window, IDC_EDGE_TEXT);
  const RECT button = ChildRect(window, IDC_FULL_SCREEN);
  const RECT label = ChildRect(window, IDC_FULL_SCREEN_LABEL);
  const int gapAbove = square.top - above.bottom;
  const int gapBelow = below.top - square.bottom;

  SetWindowPos(window, HWND_TOPMOST, 0, 0, screenWidth, screenHeight, SWP_SHOWWINDOW);
  HWND pattern = GetDlgItem(window, IDC_TEST_SQUARE);
  SetWindowLongPtrA(pattern, GWL_STYLE,
                    (GetWindowLongPtrA(pattern, GWL_STYLE) & ~SS_TYPEMASK) | SS_OWNERDRAW);
  const int width = 2 * screenWidth / 3;
  const int height = 2 * screenHeight / 3;
  const int left = (screenWidth - width) / 2;
  const int top = (screenHeight - height) / 2;
  MoveChild(window, IDC_TEST_SQUARE, left, top, width, height);

  // The texts get the screen's width, so that the line never wraps out of its control.
  const int textWidth = screenWidth - 16;
  const int aboveWidth = textWidth;
  const int aboveHeight = above.bottom - above.top;
  MoveChild(window, IDC_CENTRE_TEXT, (screenWidth - aboveWidth) / 2, top - gapAbove - aboveHeight, aboveWidth,
            aboveHeight);
  const int belowWidth = textWidth;
  MoveChild(window, IDC_EDGE_TEXT, (screenWidth - belowWidth) / 2, top + height + gapBelow, belowWidth,
            below.bottom - below.top);

  const int buttonWidth = button.right - button.left;
  const int buttonHeight = button.bottom - button.top;
  const int buttonLeft = screenWidth - 4 - buttonWidth;
  MoveChild(window, IDC_FULL_SCREEN, buttonLeft, screenHeight - 4 - buttonHeight, buttonWidth, buttonHeight);
  CheckDlgButton(window, IDC_FULL_SCREEN, BST_CHECKED);
  const int labelWidth = label.right - label.left;
  const int labelHeight = label.bottom - label.top;
  MoveChild(window, IDC_FULL_SCREEN_LABEL, buttonLeft - 6 - labelWidth, screenHeight - 4 - labelHeight,
            labelWidth, labelHeight);
}

// Where the edge text's words are: its control is wider than the centred text.
RECT EdgeTextExtent(HWND window) {
  HWND text = GetDlgItem(window, IDC_EDGE_TEXT);
  RECT rect = ChildRect(window, IDC_EDGE_TEXT);
  char words[256] = {};
  GetWindowTextA(text, words, sizeof(words));
  HDC dc = GetDC(text);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(text, WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32A(dc, words, lstrlenA(words), &size);
  SelectObject(dc, old);
  ReleaseDC(text, dc);
  const int middle = (rect.left + rect.right) / 2;
  if (size.cx < rect.right - rect.left) {
    rect.left = middle - size.cx / 2;
    rect.right = rect.left + size.cx;
  }
  return rect;
}

void DrawPointers(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  const RECT text = EdgeTextExtent(window);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(192, 192, 192));
  HBRUSH brush = CreateSolidBrush(RGB(192, 192, 192));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  // To the right edge at mid-screen, ending in a 10-pixel mark along the edge.
  const int edge = client.right - 1;
  const int middleY = (client.top + client.bottom) / 2;
  MoveToEx(dc, text.right + 4, text.top + (text.bottom - text.top) / 3, nullptr);
  LineTo(dc, edge, middleY);
  MoveToEx(dc, edge, middleY - 5, nullptr);
  LineTo(dc, edge, middleY + 5);
  // Straight down to the bottom edge, ending in an arrowhead 7 pixels wide and 7 high.
  const int middleX = (text.left + text.right) / 2;
  const int bottom = client.bottom - 1;
  MoveToEx(dc, middleX, text.bottom + 4, nullptr);
  LineTo(dc, middleX, bottom - 6);
  POINT head[3] = {{middleX - 3, bottom - 6}, {middleX + 3, bottom - 6}, {middleX, bottom}};
  Polygon(dc, head, 3);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

INT_PTR CALLBACK FullScreenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      LayOutFullScreen(window);
      return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
      SetBkColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
      return reinterpret_cast<INT_PTR>(GetStockObject(BLACK_BRUSH));
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != IDC_TEST_SQUARE) break;
      DrawTestSquare(item->hDC, item->rcItem);
      return TRUE;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      DrawPointers(window, dc);
      EndPaint(window, &paint);
      return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      EndDialog(window, IDCANCEL);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDC_FULL_SCREEN) {
        EndDialog(window, LOWORD(wParam));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

void RunFullScreenTest(CalibrationContext& context) {
  DialogBoxParamA(context.resources, MAKEINTRESOURCEA(IDD_FULL_SCREEN), nullptr, FullScreenProc,
                  reinterpret_cast<LPARAM>(&context));
}

INT_PTR CALLBACK BlackWhitePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      CalibrationContext* context = InitPage(page, lParam);
      SetIcon(page, IDC_CONTRAST_ICON, context->resources, IDI_CONTRAST);
      SetIcon(page, IDC_BRIGHTNESS_ICON, context->resources, IDI_BRIGHTNESS);
      return TRUE;
    }
    case WM_DESTROY:
      RemoveIcon(page, IDC_CONTRAST_ICON);
      RemoveIcon(page, IDC_BRIGHTNESS_ICON);
      break;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != IDC_TEST_SQUARE) break;
      DrawTestSquare(item->hDC, item->rcItem);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_FULL_SCREEN && HIWORD(wParam) == BN_CLICKED) {
        RunFullScreenTest(*PageContext(page));
        return TRUE;
      }
      break;
    case WM_NOTIFY:
      if (ActivatePage(page, lParam, PSWIZB_BACK | PSWIZB_NEXT)) return PageResult(page, 0);
      break;
  }
  return FALSE;
}

}  // namespace monwz
