#include "ColourPickerPopup.h"

#include "ColourPicker.h"

#include <windowsx.h>

#include <algorithm>

const CColourPickerPopup::NamedColour CColourPickerPopup::Colours[ColourCount] = {
    {RGB(0, 0, 0), "Black"},
    {RGB(165, 42, 0), "Brown"},
    {RGB(0, 64, 64), "Dark Olive Green"},
    {RGB(0, 85, 0), "Dark Green"},
    {RGB(0, 0, 94), "Dark Teal"},
    {RGB(0, 0, 139), "Dark blue"},
    {RGB(75, 0, 130), "Indigo"},
    {RGB(40, 40, 40), "Dark grey"},
    {RGB(139, 0, 0), "Dark red"},
    {RGB(255, 104, 32), "Orange"},
    {RGB(139, 139, 0), "Dark yellow"},
    {RGB(0, 147, 0), "Green"},
    {RGB(56, 142, 142), "Teal"},
    {RGB(0, 0, 255), "Blue"},
    {RGB(123, 123, 192), "Blue-grey"},
    {RGB(102, 102, 102), "Grey - 40"},
    {RGB(255, 0, 0), "Red"},
    {RGB(255, 173, 91), "Light orange"},
    {RGB(50, 205, 50), "Lime"},
    {RGB(60, 179, 113), "Sea green"},
    {RGB(127, 255, 212), "Aqua"},
    {RGB(125, 158, 192), "Light blue"},
    {RGB(128, 0, 128), "Violet"},
    {RGB(127, 127, 127), "Grey - 50"},
    {RGB(255, 192, 203), "Pink"},
    {RGB(255, 215, 0), "Gold"},
    {RGB(255, 255, 0), "Yellow"},
    {RGB(0, 255, 0), "Bright green"},
    {RGB(64, 224, 208), "Turquoise"},
    {RGB(192, 255, 255), "Skyblue"},
    {RGB(72, 0, 72), "Plum"},
    {RGB(192, 192, 192), "Light grey"},
    {RGB(255, 228, 225), "Rose"},
    {RGB(210, 180, 140), "Tan"},
    {RGB(255, 255, 224), "Light yellow"},
    {RGB(152, 251, 152), "Pale green "},
    {RGB(175, 238, 238), "Pale turquoise"},
    {RGB(104, 131, 139), "Pale blue"},
    {RGB(230, 230, 250), "Lavender"},
    {RGB(255, 255, 255), "White"},
};

BEGIN_MESSAGE_MAP(CColourPickerPopup, CWnd)
  ON_WM_PAINT()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_KEYDOWN()
  ON_WM_KILLFOCUS()
  ON_WM_ACTIVATEAPP()
  ON_WM_QUERYNEWPALETTE()
  ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

CColourPickerPopup::CColourPickerPopup() {
  margin = ::GetSystemMetrics(SM_CXEDGE);
  if (boxSize < 2 * margin + 7) boxSize = 2 * margin + 7;

  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof(metrics);
  if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
    font.CreateFontIndirect(&metrics.lfMessageFont);

  struct {
    LOGPALETTE header;
    PALETTEENTRY more[ColourCount - 1];
  } logPalette = {};
  logPalette.header.palVersion = 0x300;
  logPalette.header.palNumEntries = ColourCount;
  for (int i = 0; i < ColourCount; ++i) {
    PALETTEENTRY& entry = logPalette.header.palPalEntry[i];
    entry.peRed = GetRValue(Colours[i].colour);
    entry.peGreen = GetGValue(Colours[i].colour);
    entry.peBlue = GetBValue(Colours[i].colour);
  }
  palette.CreatePalette(&logPalette.header);
}

CColourPickerPopup::~CColourPickerPopup() = default;

void CColourPickerPopup::PostNcDestroy() { delete this; }

BOOL CColourPickerPopup::Create(CPoint point, COLORREF startColour, CColourPicker* owner,
                                LPCTSTR defaultCaption, LPCTSTR customCaption) {
  picker = AfxSafeHwnd(owner);
  initialColour = colour = startColour;
  defaultText = defaultCaption != nullptr ? defaultCaption : "";
  customText = customCaption != nullptr ? customCaption : "";

  LPCTSTR className = AfxRegisterWndClass(CS_CLASSDC | CS_SAVEBITS | CS_HREDRAW | CS_VREDRAW, nullptr,
                                          reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr);
  if (!CreateEx(0, className, "", WS_POPUP | WS_VISIBLE, point.x, point.y, 100, 100, picker, nullptr))
    return FALSE;
  Layout(point);
  CreateToolTips();
  chosenBox = FindChosenBox();
  SetCapture();
  return TRUE;
}

void CColourPickerPopup::Layout(CPoint point) {
  CSize textSize(0, 0);
  if (!defaultText.IsEmpty() || !customText.IsEmpty()) {
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ oldFont =
        ::SelectObject(dc, font.GetSafeHandle() ? font.GetSafeHandle() : ::GetStockObject(DEFAULT_GUI_FONT));
    for (const CString* text : {&defaultText, &customText}) {
      SIZE size = {};
      ::GetTextExtentPoint32A(dc, *text, text->GetLength(), &size);
      textSize.cx = std::max(textSize.cx, size.cx);
      textSize.cy = std::max(textSize.cy, size.cy);
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(m_hWnd, dc);
  }
  const int textWidth = textSize.cx + 2 * margin;
  const int textHeight = textSize.cy + 4 * margin + 2;

  windowRect = CRect(point.x, point.y, point.x + Columns * boxSize + 2 * margin,
                     point.y + Rows * boxSize + 2 * margin);
  defaultRect.SetRectEmpty();
  customRect.SetRectEmpty();
  if (!defaultText.IsEmpty()) {
    if (textWidth > windowRect.Width()) windowRect.right = windowRect.left + textWidth;
    defaultRect = CRect(margin, margin, windowRect.Width() - margin, margin + textHeight + margin);
    windowRect.bottom += defaultRect.Height() + 2 * margin;
  }
  if (!customText.IsEmpty()) {
    if (textWidth > windowRect.Width()) windowRect.right = windowRect.left + textWidth;
    const int top = windowRect.Height();
    customRect = CRect(margin, top, windowRect.Width() - margin, top + margin + textHeight);
    windowRect.bottom += customRect.Height() + 2 * margin;
  }

  // Keep it on the screen; below the screen it opens above the picker instead.
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  if (windowRect.right > screenWidth) windowRect.OffsetRect(screenWidth - windowRect.right, 0);
  if (windowRect.left < 0) windowRect.OffsetRect(-windowRect.left, 0);
  if (windowRect.bottom > screenHeight) {
    CRect pickerRect;
    ::GetWindowRect(picker, &pickerRect);
    windowRect.OffsetRect(0, -(windowRect.Height() + pickerRect.Height()));
  }
  SetWindowPos(nullptr, windowRect.left, windowRect.top, windowRect.Width(), windowRect.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void CColourPickerPopup::CreateToolTips() {
  if (!toolTip.Create(this)) return;
  for (int i = 0; i < ColourCount; ++i) {
    CRect rect = GetBoxRect(i);
    toolTip.AddTool(this, Colours[i].name, &rect, static_cast<UINT_PTR>(i + 1));
  }
}

int CColourPickerPopup::FindChosenBox() const {
  if (initialColour == CLR_AUTOMATIC && !defaultText.IsEmpty()) return DefaultBox;
  for (int i = 0; i < ColourCount; ++i)
    if (Colours[i].colour == initialColour) return i;
  return customText.IsEmpty() ? NoBox : CustomBox;
}

CRect CColourPickerPopup::GetBoxRect(int box) const {
  if (box == DefaultBox) return defaultRect;
  if (box == CustomBox) return customRect;
  if (box < 0 || box >= ColourCount) return CRect(0, 0, 0, 0);
  const int column = box % Columns;
  const int row = box / Columns;
  int top = row * boxSize + margin;
  if (!defaultText.IsEmpty()) top += defaultRect.Height() + margin;
  const int left = column * boxSize + margin;
  return CRect(left, top, left + boxSize, top + boxSize);
}

LRESULT CColourPickerPopup::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && toolTip.GetSafeHwnd() != nullptr) {
    MSG msg = {m_hWnd, message, wParam, lParam, ::GetMessageTime(), {}};
    const DWORD pos = ::GetMessagePos();
    msg.pt = {GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
    toolTip.RelayEvent(&msg);
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

void CColourPickerPopup::OnPaint() {
  PAINTSTRUCT paint;
  HDC hdc = ::BeginPaint(m_hWnd, &paint);
  CDC* dc = CDC::FromHandle(hdc);
  if (!defaultText.IsEmpty()) DrawTextBox(*dc, DefaultBox);
  for (int i = 0; i < ColourCount; ++i) DrawBox(*dc, i);
  if (!customText.IsEmpty()) DrawTextBox(*dc, CustomBox);
  CRect client;
  GetClientRect(&client);
  ::DrawEdge(hdc, &client, EDGE_RAISED, BF_RECT);
  ::EndPaint(m_hWnd, &paint);
}

void CColourPickerPopup::DrawBox(CDC& dc, int box) {
  HDC hdc = dc.GetSafeHdc();
  HPALETTE oldPalette = nullptr;
  if (::GetDeviceCaps(hdc, RASTERCAPS) & RC_PALETTE) {
    oldPalette = ::SelectPalette(hdc, static_cast<HPALETTE>(palette.GetSafeHandle()), FALSE);
    ::RealizePalette(hdc);
  }
  CRect rect = GetBoxRect(box);
  const bool hot = box == hotBox;
  const bool chosen = box == chosenBox;
  ::FillRect(hdc, &rect, ::GetSysColorBrush(chosen && !hot ? COLOR_BTNHIGHLIGHT : COLOR_BTNFACE));
  if (hot) ::DrawEdge(hdc, &rect, BDR_RAISEDINNER, BF_RECT);
  if (chosen) ::DrawEdge(hdc, &rect, BDR_SUNKENOUTER, BF_RECT);

  CRect swatch = rect;
  swatch.DeflateRect(margin + 1, margin + 1);
  HPEN pen = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
  const COLORREF value = Colours[box].colour;
  HBRUSH brush = ::CreateSolidBrush(PALETTERGB(GetRValue(value), GetGValue(value), GetBValue(value)));
  HGDIOBJ oldPen = ::SelectObject(hdc, pen);
  HGDIOBJ oldBrush = ::SelectObject(hdc, brush);
  ::Rectangle(hdc, swatch.left, swatch.top, swatch.right, swatch.bottom);
  ::SelectObject(hdc, oldBrush);
  ::SelectObject(hdc, oldPen);
  ::DeleteObject(brush);
  ::DeleteObject(pen);
  if (oldPalette != nullptr) ::SelectPalette(hdc, oldPalette, FALSE);
}

void CColourPickerPopup::DrawTextBox(CDC& dc, int box) {
  HDC hdc = dc.GetSafeHdc();
  CRect rect = GetBoxRect(box);
  const CString& text = box == DefaultBox ? defaultText : customText;
  if (box == CustomBox) {
    rect.top += 2 * margin;
    HPEN shadow = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    HPEN light = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    HGDIOBJ oldPen = ::SelectObject(hdc, shadow);
    const int y = rect.top - margin;
    ::MoveToEx(hdc, rect.left + 2 * margin, y, nullptr);
    ::LineTo(hdc, rect.right - 2 * margin, y);
    ::SelectObject(hdc, light);
    ::MoveToEx(hdc, rect.left + 2 * margin, y + 1, nullptr);
    ::LineTo(hdc, rect.right - 2 * margin, y + 1);
    ::SelectObject(hdc, oldPen);
    ::DeleteObject(shadow);
    ::DeleteObject(light);
  }
  const bool hot = box == hotBox;
  const bool chosen = box == chosenBox;
  ::FillRect(hdc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
  CRect inner = rect;
  inner.DeflateRect(1, 1);
  ::FillRect(hdc, &inner, ::GetSysColorBrush(chosen && !hot ? COLOR_3DLIGHT : COLOR_BTNFACE));
  CRect frame = rect;
  frame.DeflateRect(2 * margin, 2 * margin);
  ::FrameRect(hdc, &frame, ::GetSysColorBrush(COLOR_BTNSHADOW));
  if (hot) ::DrawEdge(hdc, &rect, BDR_RAISEDINNER, BF_RECT);
  if (chosen) ::DrawEdge(hdc, &rect, BDR_SUNKENOUTER, BF_RECT);

  HGDIOBJ oldFont = font.GetSafeHandle() ? ::SelectObject(hdc, font.GetSafeHandle()) : nullptr;
  const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
  ::SetTextColor(hdc, ::GetSysColor(COLOR_BTNTEXT));
  ::DrawTextA(hdc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  ::SetBkMode(hdc, oldMode);
  if (oldFont != nullptr) ::SelectObject(hdc, oldFont);
}

void CColourPickerPopup::ChangeHotBox(int box) {
  if (box > ColourCount) box = CustomBox;
  const int old = hotBox;
  hotBox = box;
  for (int redraw : {old, box}) {
    if (redraw == NoBox) continue;
    CRect rect = GetBoxRect(redraw);
    if (redraw == CustomBox) rect.top = customRect.top;
    InvalidateRect(&rect, FALSE);
  }
  UpdateWindow();

  COLORREF report = initialColour;
  if (box == DefaultBox) {
    colour = report = CLR_AUTOMATIC;
  } else if (box >= 0 && box < ColourCount) {
    colour = report = Colours[box].colour;
  }
  ::SendMessageA(picker, WM_COLOUR_SELCHANGE, report, 0);
}

void CColourPickerPopup::OnMouseMove(UINT flags, CPoint point) {
  point.Offset(-margin, -margin);
  int box = NoBox;
  if (!customText.IsEmpty() && customRect.PtInRect(point)) {
    box = CustomBox;
  } else if (!defaultText.IsEmpty() && defaultRect.PtInRect(point)) {
    box = DefaultBox;
  } else {
    if (!defaultText.IsEmpty()) point.y -= defaultRect.Height();
    if (point.x < 0 || point.y < 0) return;
    const int row = point.y / boxSize;
    const int column = point.x / boxSize;
    if (column >= Columns) return;
    box = row * Columns + column;
    if (box >= ColourCount) return;
  }
  if (box != hotBox) ChangeHotBox(box);
  CWnd::OnMouseMove(flags, point);
}

void CColourPickerPopup::OnLButtonUp(UINT flags, CPoint point) {
  CWnd::OnLButtonUp(flags, point);
  const DWORD pos = ::GetMessagePos();
  CPoint cursor(GET_X_LPARAM(pos), GET_Y_LPARAM(pos));
  CRect rect;
  GetWindowRect(&rect);
  EndSelection(rect.PtInRect(cursor) != FALSE);
}

int CColourPickerPopup::NextBox(UINT key) const {
  const bool hasDefault = !defaultText.IsEmpty();
  const bool hasCustom = !customText.IsEmpty();
  const int last = ColourCount - 1;
  // The forward and backward ends of the ring of boxes.
  const int afterLast = hasCustom ? CustomBox : hasDefault ? DefaultBox : 0;
  const int beforeFirst = hasDefault ? DefaultBox : hasCustom ? CustomBox : last;
  const bool forward = key == VK_RIGHT || key == VK_DOWN;
  if (hotBox == NoBox) return forward ? afterLast : beforeFirst;
  if (hotBox == DefaultBox) return forward ? 0 : (hasCustom ? CustomBox : last);
  if (hotBox == CustomBox) return forward ? (hasDefault ? DefaultBox : 0) : last;
  switch (key) {
    case VK_RIGHT:
      return hotBox + 1 <= last ? hotBox + 1 : afterLast;
    case VK_LEFT:
      return hotBox - 1 >= 0 ? hotBox - 1 : beforeFirst;
    case VK_DOWN:
      return hotBox + Columns <= last ? hotBox + Columns : afterLast;
    default:
      return hotBox - Columns >= 0 ? hotBox - Columns : beforeFirst;
  }
}

void CColourPickerPopup::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  switch (key) {
    case VK_RIGHT:
    case VK_LEFT:
    case VK_DOWN:
    case VK_UP:
      ChangeHotBox(NextBox(key));
      return;
    case VK_RETURN:
    case VK_SPACE:
      EndSelection(true);
      return;
    case VK_ESCAPE:
      colour = initialColour;
      EndSelection(false);
      return;
    default:
      CWnd::OnKeyDown(key, repeat, flags);
  }
}

void CColourPickerPopup::EndSelection(bool choice) {
  if (ending) return;
  ending = true;
  ::ReleaseCapture();
  UINT message = WM_COLOUR_SELENDOK;
  if (!choice) {
    colour = initialColour;
    message = WM_COLOUR_SELENDCANCEL;
  } else if (hotBox == CustomBox) {
    CColorDialog dialog(initialColour, CC_FULLOPEN | CC_ANYCOLOR, this);
    if (dialog.DoModal() == IDOK) {
      colour = dialog.GetColor();
    } else {
      colour = initialColour;
      message = WM_COLOUR_SELENDCANCEL;
    }
  }
  ::SendMessageA(picker, message, colour, 0);
  DestroyWindow();
}

void CColourPickerPopup::OnKillFocus(CWnd* newWnd) {
  CWnd::OnKillFocus(newWnd);
  ::ReleaseCapture();
}

void CColourPickerPopup::OnActivateApp(BOOL active, DWORD threadId) {
  CWnd::OnActivateApp(active, threadId);
  if (!active) EndSelection(false);
}

BOOL CColourPickerPopup::OnQueryNewPalette() {
  Invalidate();
  return CWnd::OnQueryNewPalette();
}

void CColourPickerPopup::OnPaletteChanged(CWnd* focusWnd) {
  CWnd::OnPaletteChanged(focusWnd);
  if (focusWnd == nullptr || AfxSafeHwnd(focusWnd) != m_hWnd) Invalidate();
}
