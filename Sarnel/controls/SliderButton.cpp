#include "SliderButton.h"

#include "SliderPopupWnd.h"

#include <algorithm>
#include <cstdio>

IMPLEMENT_DYNAMIC(wcSliderButton, CUpDownEdit)

BEGIN_MESSAGE_MAP(wcSliderButton, CUpDownEdit)
  ON_WM_NCCALCSIZE()
  ON_WM_NCHITTEST()
  ON_WM_NCPAINT()
  ON_WM_ENABLE()
  ON_WM_SIZE()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_KEYDOWN()
  ON_CONTROL_REFLECT(EN_UPDATE, &wcSliderButton::OnUpdate)
  ON_MESSAGE(WM_SLIDER_CHANGED, &wcSliderButton::OnPopupChanged)
  ON_MESSAGE(WM_SLIDER_CLOSED, &wcSliderButton::OnPopupClosed)
END_MESSAGE_MAP()

BOOL wcSliderButton::Create(BOOL onLeft, DWORD exStyle, LPCTSTR text, DWORD style, const RECT& rect,
                            CWnd* parent, UINT id) {
  if (!CreateEx(exStyle, "EDIT", text, style, rect, parent, id)) return FALSE;
  SetButtonOnLeft(onLeft);
  if (parent != nullptr) SendMessage(WM_SETFONT, parent->SendMessage(WM_GETFONT), TRUE);
  return TRUE;
}

void wcSliderButton::RecalcFrame() {
  if (::IsWindow(m_hWnd))
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void wcSliderButton::SetButtonOnLeft(BOOL onLeft) {
  buttonOnLeft = onLeft;
  RecalcFrame();
}

void wcSliderButton::ShowButton(BOOL show) {
  buttonShown = show;
  RecalcFrame();
}

void wcSliderButton::SetRange(int low, int high) {
  CUpDownEdit::SetRange(low, high, 1);
  sliderMinimum = low;
  sliderMaximum = high;
}

void wcSliderButton::SetPos(int value) {
  if (value < sliderMinimum || value > sliderMaximum) return;
  sliderValue = value;
  SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(FormatValue(value))));
}

int wcSliderButton::CheckText() {
  CString text;
  GetWindowText(text);
  if (text == "+" || text == "-") return 3;
  long number = 0;
  char rest[512] = {};
  const int fields = sscanf(text, "%ld%511s", &number, rest);
  if (fields != 1) return 2;
  if (number < minimum || number > maximum) return 1;
  return 0;
}

void wcSliderButton::OnNcCalcSize(BOOL validRects, NCCALCSIZE_PARAMS* params) {
  // The first rectangle is the window's own rectangle before the default calculation, in the
  // same coordinates as the client rectangle it becomes.
  const CPoint windowCorner(params->rgrc[0].left, params->rgrc[0].top);
  CUpDownEdit::OnNcCalcSize(validRects, params);
  if (!buttonShown) {
    buttonRect.SetRectEmpty();
    return;
  }
  RECT& client = params->rgrc[0];
  const int width = (client.bottom - client.top) * 8 / 10;
  if (buttonOnLeft) {
    buttonRect = CRect(client.left, client.top, client.left + width, client.bottom);
    client.left += width;
  } else {
    buttonRect = CRect(client.right - width, client.top, client.right, client.bottom);
    client.right -= width;
  }
  buttonRect.OffsetRect(-windowCorner.x, -windowCorner.y);
  buttonRect.NormalizeRect();
}

LRESULT wcSliderButton::OnNcHitTest(CPoint point) {
  LRESULT hit = CUpDownEdit::OnNcHitTest(point);
  if (hit == HTNOWHERE) {
    CRect window;
    GetWindowRect(&window);
    CPoint local(point.x - window.left, point.y - window.top);
    if (buttonRect.PtInRect(local)) return HTBORDER;
  }
  return hit;
}

void wcSliderButton::DrawButton(int state) {
  if (!buttonShown) return;
  if (!IsWindowEnabled()) state = 2;
  HDC dc = ::GetWindowDC(m_hWnd);
  CRect rect = buttonRect;
  UINT flags = DFCS_SCROLLDOWN | DFCS_FLAT;
  if (state == 1) flags |= DFCS_PUSHED;
  if (state == 2) flags |= DFCS_INACTIVE;
  ::DrawFrameControl(dc, &rect, DFC_SCROLL, flags);
  ::ReleaseDC(m_hWnd, dc);
  buttonState = state;
}

void wcSliderButton::OnNcPaint() {
  CUpDownEdit::OnNcPaint();
  DrawButton(buttonState);
}

void wcSliderButton::OnEnable(BOOL enable) {
  CUpDownEdit::OnEnable(enable);
  DrawButton(enable ? 0 : 2);
}

void wcSliderButton::OnSize(UINT type, int cx, int cy) {
  CUpDownEdit::OnSize(type, cx, cy);
  RecalcFrame();
}

void wcSliderButton::OnNcLButtonDown(UINT hitTest, CPoint point) {
  CRect window;
  GetWindowRect(&window);
  if (!buttonRect.PtInRect(CPoint(point.x - window.left, point.y - window.top))) {
    CUpDownEdit::OnNcLButtonDown(hitTest, point);
    return;
  }
  SetCapture();
  buttonPressed = TRUE;
  DrawButton(1);
  OpenPopup(point.x, point.y, FALSE);
}

void wcSliderButton::OnMouseMove(UINT flags, CPoint point) {
  if (buttonPressed) {
    CPoint screen = point;
    ClientToScreen(&screen);
    CRect window;
    GetWindowRect(&window);
    DrawButton(buttonRect.PtInRect(CPoint(screen.x - window.left, screen.y - window.top)) ? 1 : 0);
    return;
  }
  CUpDownEdit::OnMouseMove(flags, point);
}

void wcSliderButton::OnLButtonUp(UINT flags, CPoint point) {
  if (buttonPressed) {
    ::ReleaseCapture();
    buttonPressed = FALSE;
    DrawButton(0);
    return;
  }
  CUpDownEdit::OnLButtonUp(flags, point);
}

void wcSliderButton::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if ((key == VK_OEM_PERIOD || key == VK_DECIMAL) && (::GetKeyState(VK_CONTROL) & 0x8000)) {
    CRect window;
    GetWindowRect(&window);
    CRect button = buttonRect;
    button.OffsetRect(window.left, window.top);
    OpenPopup(button.CenterPoint().x, button.CenterPoint().y, TRUE);
    return;
  }
  CUpDownEdit::OnKeyDown(key, repeat, flags);
}

void wcSliderButton::OpenPopup(int x, int y, BOOL keyboardMode) {
  if (!buttonShown) return;
  CString text;
  GetWindowText(text);
  const int parsed = ParseValue(text);
  sliderValue = std::clamp(parsed, sliderMinimum, sliderMaximum);
  if (sliderValue != parsed) SetWindowText(FormatValue(sliderValue));
  DrawButton(1);
  CRect window;
  GetWindowRect(&window);
  const int below = window.top + buttonRect.bottom + HIWORD(::GetDialogBaseUnits()) / 8;
  (void)y;
  auto* popup = new CSliderPopupWnd;
  if (!popup->Create(x, below, sliderValue, sliderMinimum, sliderMaximum, this, keyboardMode)) delete popup;
}

void wcSliderButton::OnUpdate() {
  char text[513] = {};
  ::GetWindowTextA(m_hWnd, text, sizeof(text));
  const int value = ParseValue(text);
  if (value >= sliderMinimum && value <= sliderMaximum) {
    sliderValue = value;
    if (HWND parent = ::GetParent(m_hWnd))
      ::SendMessageA(parent, WM_SLIDER_CHANGED, static_cast<WPARAM>(value), GetDlgCtrlID());
  } else {
    OnValueOutOfRange();
  }
}

LRESULT wcSliderButton::OnPopupChanged(WPARAM wParam, LPARAM) {
  SetPos(static_cast<int>(wParam));
  UpdateWindow();
  if (HWND parent = ::GetParent(m_hWnd)) ::SendMessageA(parent, WM_SLIDER_CHANGED, wParam, GetDlgCtrlID());
  return 0;
}

LRESULT wcSliderButton::OnPopupClosed(WPARAM wParam, LPARAM) {
  DrawButton(0);
  if (HWND parent = ::GetParent(m_hWnd)) ::SendMessageA(parent, WM_SLIDER_CLOSED, wParam, GetDlgCtrlID());
  return 0;
}

void DDX_SliderButton(CDataExchange* pDX, int nIDC, wcSliderButton& control, BOOL buttonOnLeft) {
  if (control.GetSafeHwnd() != nullptr) return;
  HWND edit = pDX->PrepareEditCtrl(nIDC);
  if (edit == nullptr || !control.SubclassWindow(edit)) AfxThrowNotSupportedException();
  control.buttonOnLeft = buttonOnLeft;
  control.RecalcFrame();
}
