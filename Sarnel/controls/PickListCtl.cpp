#include "PickListCtl.h"

#include "ColourPicker.h"
#include "ControlClasses.h"
#include "MemDC.h"
#include "MenuListCtl.h"

#include <comdef.h>

#include <algorithm>

namespace {
constexpr UINT ScrollBarId = 1;
}

BEGIN_MESSAGE_MAP(CPickListCtl, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_VSCROLL()
  ON_WM_KEYDOWN()
  ON_WM_CHAR()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSEACTIVATE()
  ON_WM_MOUSEWHEEL()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_MESSAGE(WM_SETFONT, &CPickListCtl::OnSetFont)
  ON_MESSAGE(LCM_GETCURSEL, &CPickListCtl::OnGetCurSel)
  ON_MESSAGE(LCM_SETCURSEL, &CPickListCtl::OnSetCurSel)
  ON_MESSAGE(LCM_GETTEXTLEN, &CPickListCtl::OnGetTextLen)
  ON_MESSAGE(LCM_GETTEXT, &CPickListCtl::OnGetText)
END_MESSAGE_MAP()

CPickListCtl::CPickListCtl()
    : scrollBarWidth(::GetSystemMetrics(SM_CXVSCROLL)),
      gripWidth(::GetSystemMetrics(SM_CXVSCROLL)),
      gripHeight(::GetSystemMetrics(SM_CXVSCROLL)) {}

CPickListCtl::~CPickListCtl() {
  for (PickListItem& item : items) ::VariantClear(&item.value);
}

BOOL CPickListCtl::Create(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  if (!CreateEx(exStyle, ControlClasses::PickList, nullptr, style | WS_CLIPCHILDREN, rect, parent, id))
    return FALSE;
  UpdateScrollBar();
  return TRUE;
}

int CPickListCtl::AddItem(LPCTSTR text, bool dimmed, bool select) {
  PickListItem item;
  item.separator = text == nullptr;
  item.text = text != nullptr ? text : "";
  ::VariantInit(&item.value);
  item.dimmed = dimmed;
  items.push_back(item);
  const int index = GetCount() - 1;
  if (select) selection = index;
  if (redraw && ::IsWindow(m_hWnd)) UpdateScrollBar();
  return index;
}

CString CPickListCtl::GetItemText(int index) const {
  return index >= 0 && index < GetCount() ? items[index].text : CString();
}

void CPickListCtl::SetItemValue(int index, const VARIANT& value) {
  if (index < 0 || index >= GetCount()) return;
  HRESULT hr = ::VariantCopy(&items[index].value, const_cast<VARIANT*>(&value));
  if (FAILED(hr)) _com_issue_error(hr);
}

const VARIANT& CPickListCtl::GetItemValue(int index) const {
  static const VARIANT empty = [] {
    VARIANT v;
    ::VariantInit(&v);
    return v;
  }();
  return index >= 0 && index < GetCount() ? items[index].value : empty;
}

void CPickListCtl::Notify(int code) {
  HWND parent = ::GetParent(m_hWnd);
  if (parent == nullptr) return;
  NMHDR notify = {m_hWnd, static_cast<UINT_PTR>(::GetWindowLongPtrA(m_hWnd, GWL_ID)),
                  static_cast<UINT>(code)};
  ::SendMessageA(parent, WM_NOTIFY, notify.idFrom, reinterpret_cast<LPARAM>(&notify));
}

void CPickListCtl::SetCurSel(int index) {
  if (index < 0 || index >= GetCount() || index == selection) return;
  selection = index;
  Notify(PICKN_CHANGED);
  if (redraw && ::IsWindow(m_hWnd)) Invalidate(TRUE);
}

void CPickListCtl::SelectQuietly(int index) {
  selection = index;
  EnsureVisible(index);
  Invalidate(TRUE);
}

int CPickListCtl::LineHeight() {
  if (lineHeight < 0) {
    HDC dc = ::GetDC(m_hWnd);
    HFONT font = ControlClasses::GetStoredFont(m_hWnd);
    HGDIOBJ old = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(dc, &metrics);
    if (old != nullptr) ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    lineHeight = std::max(1, static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading));
  }
  return lineHeight;
}

int CPickListCtl::GetVisibleRows() {
  CRect client;
  GetClientRect(&client);
  return client.Height() / LineHeight();
}

int CPickListCtl::ItemAt(CPoint point) {
  CRect client;
  GetClientRect(&client);
  if (point.y < client.top) return -1;
  const int index = topIndex + (point.y - client.top) / LineHeight();
  return index < GetCount() ? index : -1;
}

void CPickListCtl::ScrollTo(int top) {
  const int highest = std::max(0, GetCount() - GetVisibleRows());
  top = std::clamp(top, 0, highest);
  if (top == topIndex) return;
  topIndex = top;
  if (redraw) {
    Invalidate(TRUE);
    UpdateScrollBar();
  }
}

void CPickListCtl::EnsureVisible(int index) {
  const int rows = GetVisibleRows();
  if (index < topIndex)
    ScrollTo(index);
  else if (index >= topIndex + rows)
    ScrollTo(index + 1 - rows);
}

void CPickListCtl::PageDown() {
  const int rows = GetVisibleRows();
  if (topIndex + rows - 1 < GetCount() - 1)
    ScrollTo(topIndex + rows - 1);
  else
    ScrollTo(GetCount() - 1);
}

void CPickListCtl::PageUp() {
  const int rows = GetVisibleRows();
  if (topIndex - rows < 0)
    ScrollTo(0);
  else
    ScrollTo(topIndex - rows + 1);
}

CRect CPickListCtl::GripRect() const {
  CRect client;
  GetClientRect(&client);
  return CRect(client.right - gripWidth, client.bottom - gripHeight, client.right, client.bottom);
}

bool CPickListCtl::OnGrip(CPoint point) const {
  return (GetStyle() & GripStyle) != 0 && GripRect().PtInRect(point);
}

void CPickListCtl::UpdateScrollBar() {
  CRect client;
  GetClientRect(&client);
  CRect barRect(client.right - scrollBarWidth, client.top, client.right, client.bottom);
  if (GetStyle() & GripStyle) barRect.bottom -= gripHeight;
  if (scrollBar.GetSafeHwnd() == nullptr) {
    if (!scrollBar.Create(WS_CHILD | SBS_VERT | SBS_RIGHTALIGN, barRect, this, ScrollBarId)) return;
  }
  const int rows = GetVisibleRows();
  SCROLLINFO info = {};
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = GetCount() - 1;
  info.nPage = static_cast<UINT>(std::max(rows, 0));
  info.nPos = topIndex;
  scrollBar.SetScrollInfo(&info, TRUE);
  scrollBarShown = GetCount() - 1 >= rows;
  scrollBar.ShowWindow(scrollBarShown ? SW_SHOWNA : SW_HIDE);
}

void CPickListCtl::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  if (scrollBar.GetSafeHwnd() != nullptr) {
    int height = cy;
    if (GetStyle() & GripStyle) height -= gripHeight;
    scrollBar.MoveWindow(cx - scrollBarWidth, 0, scrollBarWidth, std::max(height, 0));
  }
  UpdateScrollBar();
}

void CPickListCtl::OnVScroll(UINT code, UINT pos, CScrollBar*) {
  switch (code) {
    case SB_LINEUP:
      ScrollTo(topIndex - 1);
      break;
    case SB_LINEDOWN:
      ScrollTo(topIndex + 1);
      break;
    case SB_PAGEUP:
      PageUp();
      break;
    case SB_PAGEDOWN:
      PageDown();
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      ScrollTo(static_cast<int>(pos));
      break;
    default:
      break;
  }
}

void CPickListCtl::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  switch (key) {
    case VK_PRIOR:
      PageUp();
      return;
    case VK_NEXT:
      PageDown();
      return;
    case VK_UP: {
      int index = selection >= 0 ? selection - 1 : GetCount() - 1;
      while (index >= 0 && items[index].separator) --index;
      if (index >= 0) SelectQuietly(index);
      return;
    }
    case VK_DOWN: {
      int index = selection >= 0 ? selection + 1 : 0;
      while (index < GetCount() && items[index].separator) ++index;
      if (index < GetCount()) SelectQuietly(index);
      return;
    }
    default:
      CWnd::OnKeyDown(key, repeat, flags);
  }
}

void CPickListCtl::OnChar(UINT ch, UINT repeat, UINT flags) {
  if (ch == VK_ESCAPE && sizing) {
    sizing = false;
    ::ReleaseCapture();
    SetWindowPos(nullptr, 0, 0, sizingRect.Width(), sizingRect.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  CWnd::OnChar(ch, repeat, flags);
}

void CPickListCtl::OnLButtonDown(UINT, CPoint point) {
  if (OnGrip(point)) {
    sizing = true;
    sizingStart = point;
    ClientToScreen(&sizingStart);
    GetWindowRect(&sizingRect);
    SetCapture();
    return;
  }
  const int index = ItemAt(point);
  if (index < 0 || items[index].separator) return;
  SetCurSel(index);
  if (index == selection) {
    ItemClicked(index);
    Notify(NM_CLICK);
  }
}

void CPickListCtl::OnLButtonUp(UINT, CPoint) {
  if (sizing) {
    sizing = false;
    ::ReleaseCapture();
  }
}

void CPickListCtl::OnLButtonDblClk(UINT, CPoint point) {
  const int index = ItemAt(point);
  if (index >= 0 && index == selection) {
    ItemDblClicked(index);
    Notify(NM_DBLCLK);
  }
}

void CPickListCtl::OnMouseMove(UINT, CPoint point) {
  if (sizing) {
    CPoint screen = point;
    ClientToScreen(&screen);
    const int width = std::max(gripWidth, sizingRect.Width() + static_cast<int>(screen.x - sizingStart.x));
    const int height = std::max(gripHeight, sizingRect.Height() + static_cast<int>(screen.y - sizingStart.y));
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  if (OnGrip(point)) {
    ::SetCursor(::LoadCursorA(nullptr, IDC_SIZENWSE));
    return;
  }
  ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
  if (GetStyle() & DropDownStyle) {
    const int index = ItemAt(point);
    if (index >= 0 && !items[index].separator) SetCurSel(index);
  }
}

int CPickListCtl::OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message) {
  if (GetStyle() & DropDownStyle) return MA_NOACTIVATE;
  return CWnd::OnMouseActivate(topParent, hitTest, message);
}

BOOL CPickListCtl::OnMouseWheel(UINT, short, CPoint) { return TRUE; }

void CPickListCtl::OnSetFocus(CWnd* oldWnd) {
  CWnd::OnSetFocus(oldWnd);
  Invalidate(TRUE);
  Notify(NM_SETFOCUS);
}

void CPickListCtl::OnKillFocus(CWnd* newWnd) {
  CWnd::OnKillFocus(newWnd);
  Invalidate(TRUE);
  Notify(NM_KILLFOCUS);
}

// The line height belongs to the font: a font given after creation is measured anew.
LRESULT CPickListCtl::OnSetFont(WPARAM, LPARAM) {
  const LRESULT result = Default();
  lineHeight = -1;
  if (::IsWindow(m_hWnd) && redraw) UpdateScrollBar();
  return result;
}

LRESULT CPickListCtl::OnGetCurSel(WPARAM, LPARAM) { return selection; }

LRESULT CPickListCtl::OnSetCurSel(WPARAM wParam, LPARAM) {
  SetCurSel(static_cast<int>(wParam));
  return static_cast<LRESULT>(wParam);
}

LRESULT CPickListCtl::OnGetTextLen(WPARAM, LPARAM) {
  return selection >= 0 ? items[selection].text.GetLength() + 1 : 1;
}

LRESULT CPickListCtl::OnGetText(WPARAM, LPARAM lParam) {
  char* buffer = reinterpret_cast<char*>(lParam);
  if (buffer == nullptr) return 0;
  const CString text = selection >= 0 ? items[selection].text : CString();
  memcpy(buffer, static_cast<LPCTSTR>(text), static_cast<size_t>(text.GetLength()) + 1);
  return text.GetLength();
}

void CPickListCtl::ItemClicked(int) {}
void CPickListCtl::ItemDblClicked(int) {}

BOOL CPickListCtl::OnEraseBkgnd(CDC*) { return TRUE; }

void CPickListCtl::OnPaint() {
  PAINTSTRUCT paint;
  HDC target = ::BeginPaint(m_hWnd, &paint);
  CRect update(paint.rcPaint);
  CRect client;
  GetClientRect(&client);
  zvk::MemDC memory;
  memory.Create(target, &update, false);
  HDC dc = memory.GetSafeHdc();
  ::FillRect(dc, &update, ::GetSysColorBrush(COLOR_WINDOW));

  HFONT font = ControlClasses::GetStoredFont(m_hWnd);
  HGDIOBJ oldFont = font != nullptr ? ::SelectObject(dc, font) : nullptr;
  ::SetBkMode(dc, TRANSPARENT);
  const int inset = LOWORD(::GetDialogBaseUnits()) / 4;
  const int height = LineHeight();
  const int rows = GetVisibleRows();
  for (int row = 0; row <= rows; ++row) {
    const int index = topIndex + row;
    if (index >= GetCount()) break;
    CRect line(client.left, client.top + row * height, client.right, client.top + (row + 1) * height);
    CRect overlap;
    if (!overlap.IntersectRect(&line, &update)) continue;
    const PickListItem& item = items[index];
    if (item.separator) {
      const int middle = line.top + height / 2;
      CDC::FromHandle(dc)->Draw3dRect(line.left, middle, update.right - line.left, 1,
                                      ::GetSysColor(COLOR_3DDKSHADOW), ::GetSysColor(COLOR_BTNSHADOW));
      continue;
    }
    COLORREF textColour = ::GetSysColor(COLOR_WINDOWTEXT);
    if (index == selection) {
      ::FillRect(dc, &line, ::GetSysColorBrush(COLOR_HIGHLIGHT));
      textColour = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (item.dimmed) {
      textColour = ::GetSysColor(COLOR_GRAYTEXT);
    }
    ::SetTextColor(dc, textColour);
    CRect textRect = line;
    textRect.DeflateRect(inset, 0);
    ::DrawTextA(dc, item.text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if (oldFont != nullptr) ::SelectObject(dc, oldFont);

  if (GetStyle() & GripStyle) {
    CRect grip = GripRect();
    if (scrollBarShown) ::FillRect(dc, &grip, ::GetSysColorBrush(COLOR_SCROLLBAR));
    static const int penColours[] = {COLOR_BTNSHADOW, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_SCROLLBAR};
    const int lines = std::min(gripHeight / 4, gripWidth / 4);
    int pen = 0;
    for (int i = 0; i < lines * 4; ++i) {
      HPEN line = ::CreatePen(PS_SOLID, 1, ::GetSysColor(penColours[pen]));
      pen = (pen + 1) % 4;
      HGDIOBJ old = ::SelectObject(dc, line);
      const int offset = i + 1;
      ::MoveToEx(dc, grip.right - offset, grip.bottom - 1, nullptr);
      ::LineTo(dc, grip.right, grip.bottom - 1 - offset);
      ::SelectObject(dc, old);
      ::DeleteObject(line);
    }
  }
  memory.Flush();
  ::EndPaint(m_hWnd, &paint);
}
