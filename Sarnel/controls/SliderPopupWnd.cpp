#include "SliderPopupWnd.h"

#include "MemDC.h"
#include "SliderButton.h"

#include <algorithm>
#include <cstdlib>

BEGIN_MESSAGE_MAP(CSliderPopupWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_ACTIVATEAPP()
  ON_WM_KILLFOCUS()
  ON_WM_KEYDOWN()
END_MESSAGE_MAP()

int CSliderPopupWnd::OffsetOf(int v) const {
  const int span = std::abs(maximum - minimum);
  return span == 0 ? 0 : ::MulDiv(std::abs(v - minimum), length, span);
}

int CSliderPopupWnd::ValueAt(int x) const {
  return length == 0 ? minimum : ::MulDiv(x, maximum - minimum, length) + minimum;
}

BOOL CSliderPopupWnd::Create(int x, int y, int startValue, int low, int high, wcSliderButton* owner,
                             BOOL keyboardMode) {
  const LONG units = ::GetDialogBaseUnits();
  unitX = LOWORD(units);
  unitY = HIWORD(units);
  length = unitX * 42 / 4;
  margin = (unitX * 52 / 4 - length) / 2;
  minimum = low;
  maximum = high;
  value = std::clamp(startValue, std::min(low, high), std::max(low, high));
  thumb = OffsetOf(value);
  button = AfxSafeHwnd(owner);
  stayOpen = keyboardMode != FALSE;
  LPCTSTR className =
      AfxRegisterWndClass(CS_SAVEBITS | CS_CLASSDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                          ::LoadCursorA(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  if (!CreateEx(0, className, "", WS_POPUP | WS_VISIBLE, x - margin - thumb, y, unitX * 52 / 4,
                unitY * 11 / 8, button, nullptr))
    return FALSE;
  ::GetCursorPos(&start);
  ScreenToClient(&start);
  if (!keyboardMode) SetCapture();
  SetFocus();
  return TRUE;
}

void CSliderPopupWnd::SetValue(int v, bool notify) {
  if (v < minimum || v > maximum || v == value) return;
  value = v;
  thumb = OffsetOf(v);
  if (notify) {
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ::SendMessageA(button, WM_SLIDER_CHANGED, static_cast<WPARAM>(value), 0);
  }
  changed = true;
}

void CSliderPopupWnd::OnPaint() {
  PAINTSTRUCT paint;
  HDC target = ::BeginPaint(m_hWnd, &paint);
  CRect client;
  GetClientRect(&client);
  zvk::MemDC memory;
  memory.Create(target, &client, false);
  HDC dc = memory.GetSafeHdc();
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  const int t = static_cast<int>(unitY * 3.5 / 8);
  auto line = [dc](int colour, int x1, int y1, int x2, int y2) {
    HPEN pen = ::CreatePen(PS_SOLID, 1, ::GetSysColor(colour));
    HGDIOBJ old = ::SelectObject(dc, pen);
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
  };
  line(COLOR_BTNSHADOW, margin, t, margin + length, t);
  line(COLOR_3DDKSHADOW, margin, t + 1, margin + length, t + 1);
  const int half = (unitY * 5 / 8) / 2;
  const POINT apex = {margin + thumb, t + 2};
  POINT triangle[3] = {apex, {apex.x + half, apex.y + half}, {apex.x - half, apex.y + half}};
  HBRUSH brush = ::GetSysColorBrush(COLOR_BTNHIGHLIGHT);
  HGDIOBJ oldBrush = ::SelectObject(dc, brush);
  HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
  ::Polygon(dc, triangle, 3);
  ::SelectObject(dc, oldPen);
  ::SelectObject(dc, oldBrush);
  line(COLOR_BTNFACE, apex.x, apex.y, triangle[2].x, triangle[2].y);
  line(COLOR_BTNSHADOW, apex.x, apex.y, triangle[1].x, triangle[1].y);
  line(COLOR_3DDKSHADOW, triangle[2].x, triangle[2].y, triangle[1].x + 1, triangle[1].y);
  ::DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
  memory.Flush();
  ::EndPaint(m_hWnd, &paint);
}

void CSliderPopupWnd::OnMouseMove(UINT flags, CPoint point) {
  if (!moved) {
    if (point.x == start.x) return;
    moved = true;
  }
  if (!(flags & MK_LBUTTON)) return;
  CRect client;
  GetClientRect(&client);
  if (client.PtInRect(point)) {
    dragging = true;
    stayOpen = false;
  }
  SetValue(ValueAt(std::clamp(static_cast<int>(point.x) - margin, 0, length)), true);
}

void CSliderPopupWnd::OnLButtonDown(UINT, CPoint point) {
  CRect client;
  GetClientRect(&client);
  if (!client.PtInRect(point)) {
    Close();
    return;
  }
  dragging = true;
  SetValue(ValueAt(std::clamp(static_cast<int>(point.x) - margin, 0, length)), true);
}

void CSliderPopupWnd::OnLButtonUp(UINT, CPoint) {
  if (stayOpen || (!changed && !dragging)) {
    stayOpen = true;
    return;
  }
  Close();
}

void CSliderPopupWnd::OnLButtonDblClk(UINT, CPoint) { Close(); }

void CSliderPopupWnd::OnActivateApp(BOOL active, DWORD threadId) {
  CWnd::OnActivateApp(active, threadId);
  if (!active) Close();
}

void CSliderPopupWnd::OnKillFocus(CWnd* newWnd) {
  CWnd::OnKillFocus(newWnd);
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
}

void CSliderPopupWnd::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  switch (key) {
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_SPACE:
      Close();
      return;
    case VK_END:
      SetValue(maximum, true);
      break;
    case VK_HOME:
      SetValue(minimum, true);
      break;
    case VK_LEFT:
    case VK_DOWN:
      if (value > minimum) SetValue(std::max(minimum, value - step), true);
      break;
    case VK_UP:
    case VK_RIGHT:
      if (value < maximum) SetValue(std::min(maximum, value + step), true);
      break;
    default:
      break;
  }
  CWnd::OnKeyDown(key, repeat, flags);
}

void CSliderPopupWnd::Close() {
  if (closing) return;
  closing = true;
  const bool hadFocus = ::GetFocus() == m_hWnd;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  HWND target = button;
  ::SendMessageA(target, WM_SLIDER_CLOSED, static_cast<WPARAM>(value), 0);
  DestroyWindow();
  if (hadFocus && ::IsWindow(target)) ::SetFocus(target);
}
