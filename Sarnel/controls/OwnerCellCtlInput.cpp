// COwnerCellCtl: mouse, wheel and keys turned into cell events and selection; scrolling.
#include "OwnerCellCtl.h"

#include <algorithm>

void COwnerCellCtl::CellLButtonDown(int, const CRect&, UINT, int, int) {}
void COwnerCellCtl::CellLButtonUp(int, const CRect&, UINT, int, int) {}
void COwnerCellCtl::CellLButtonDblClk(int, const CRect&, UINT, int, int) {}
void COwnerCellCtl::CellRButtonDown(int, const CRect&, UINT, int, int) {}
void COwnerCellCtl::CellRButtonUp(int, const CRect&, UINT, int, int) {}
void COwnerCellCtl::CellRButtonDblClk(int, const CRect&, UINT, int, int) {}
void COwnerCellCtl::CellMouseMove(int, const CRect&, UINT, int, int) {}
void COwnerCellCtl::CellMouseWheel(int, const CRect&, UINT, short, int, int) {}
void COwnerCellCtl::CellKeyUp(UINT, UINT, UINT) {}
void COwnerCellCtl::CellChar(UINT, UINT, UINT) {}
void COwnerCellCtl::ActivateItem(int) {}
void COwnerCellCtl::RActivateItem(int index) { ActivateItem(index); }
void COwnerCellCtl::HoverItem(int) {}
void COwnerCellCtl::RClickSelect(UINT flags, int index) { ClickSelect(flags, index); }

// Positions are not limited to the page: with the mouse captured, a point below the client area
// hits the next page's items.
int COwnerCellCtl::HitTest(int x, int y, CRect& cell) const {
  const POINT point = {x, y};
  int position = 0;
  for (; topIndex + position < GetItemCount(); ++position) {
    cell = GetCellRect(position);
    if (cell.PtInRect(point)) return topIndex + position;
  }
  cell = GetCellRect(position);
  return -1;
}

void COwnerCellCtl::LButtonDown(UINT flags, int x, int y) {
  CRect cell;
  const int index = HitTest(x, y, cell);
  if (cellOwner != nullptr)
    cellOwner->OnCellLButtonDown(this, index, cell, flags, x, y);
  else
    CellLButtonDown(index, cell, flags, x, y);
  if (index == -1) return;
  if (cellOwner != nullptr)
    cellOwner->OnClickSelect(this, flags, index);
  else
    ClickSelect(flags, index);
}

void COwnerCellCtl::LButtonUp(UINT flags, int x, int y) {
  CRect cell;
  const int index = HitTest(x, y, cell);
  if (cellOwner != nullptr)
    cellOwner->OnCellLButtonUp(this, index, cell, flags, x, y);
  else
    CellLButtonUp(index, cell, flags, x, y);
}

void COwnerCellCtl::LButtonDblClk(UINT flags, int x, int y) {
  CRect cell;
  const int index = HitTest(x, y, cell);
  if (cellOwner != nullptr)
    cellOwner->OnCellLButtonDblClk(this, index, cell, flags, x, y);
  else
    CellLButtonDblClk(index, cell, flags, x, y);
  if (index == -1) return;
  if (cellOwner != nullptr)
    cellOwner->OnActivateItem(this, index);
  else
    ActivateItem(index);
}

void COwnerCellCtl::RButtonDown(UINT flags, int x, int y) {
  CRect cell;
  const int index = HitTest(x, y, cell);
  if (cellOwner != nullptr)
    cellOwner->OnCellRButtonDown(this, index, cell, flags, x, y);
  else
    CellRButtonDown(index, cell, flags, x, y);
  if (index == -1) return;
  if (cellOwner != nullptr)
    cellOwner->OnRClickSelect(this, flags, index);
  else
    RClickSelect(flags, index);
}

void COwnerCellCtl::RButtonUp(UINT flags, int x, int y) {
  CRect cell;
  const int index = HitTest(x, y, cell);
  if (cellOwner != nullptr)
    cellOwner->OnCellRButtonUp(this, index, cell, flags, x, y);
  else
    CellRButtonUp(index, cell, flags, x, y);
}

void COwnerCellCtl::RButtonDblClk(UINT flags, int x, int y) {
  CRect cell;
  const int index = HitTest(x, y, cell);
  if (cellOwner != nullptr)
    cellOwner->OnCellRButtonDblClk(this, index, cell, flags, x, y);
  else
    CellRButtonDblClk(index, cell, flags, x, y);
  if (index == -1) return;
  if (cellOwner != nullptr)
    cellOwner->OnRActivateItem(this, index);
  else
    RActivateItem(index);
}

void COwnerCellCtl::MouseMove(UINT flags, int x, int y) {
  CRect cell;
  const int index = HitTest(x, y, cell);
  if (cellOwner != nullptr)
    cellOwner->OnCellMouseMove(this, index, cell, flags, x, y);
  else
    CellMouseMove(index, cell, flags, x, y);
  if (index == -1) return;
  if (cellOwner != nullptr)
    cellOwner->OnHoverItem(this, index);
  else
    HoverItem(index);
}

// The wheel's point is in screen coordinates: the hit test converts it, the owner gets it as given.
void COwnerCellCtl::MouseWheel(UINT flags, short delta, int x, int y) {
  POINT point = {x, y};
  if (m_hWnd != nullptr) ::ScreenToClient(m_hWnd, &point);
  CRect cell;
  const int index = HitTest(point.x, point.y, cell);
  if (cellOwner != nullptr)
    cellOwner->OnCellMouseWheel(this, index, cell, flags, delta, x, y);
  else
    CellMouseWheel(index, cell, flags, delta, x, y);
}

void COwnerCellCtl::ClickSelect(UINT flags, int index) {
  const ItemPos item = ItemPos::ByIndex(index);
  if ((styleBits & StyleMultipleSelection) != 0) {
    if ((flags & MK_CONTROL) != 0)
      SetItemSelected(item, GetSelectionOrder(item) == 0);
    else if ((flags & MK_SHIFT) != 0)
      SelectRange(item);
    else
      SelectItem(item, true);
  } else {
    SelectItem(item, true);
  }
}

void COwnerCellCtl::KeyDown(UINT key, UINT repeat, UINT flags) {
  if (cellOwner != nullptr)
    cellOwner->OnCellKeyDown(this, key, repeat, flags);
  else
    CellKeyDown(key, repeat, flags);
}

void COwnerCellCtl::KeyUp(UINT key, UINT repeat, UINT flags) {
  if (cellOwner != nullptr)
    cellOwner->OnCellKeyUp(this, key, repeat, flags);
  else
    CellKeyUp(key, repeat, flags);
}

void COwnerCellCtl::Char(UINT ch, UINT repeat, UINT flags) {
  if (cellOwner != nullptr)
    cellOwner->OnCellChar(this, ch, repeat, flags);
  else
    CellChar(ch, repeat, flags);
}

void COwnerCellCtl::CellKeyDown(UINT key, UINT, UINT) {
  const int c = caret;
  const int page = GetPageSize();
  int n = 0;
  switch (key) {
    case VK_PRIOR:
      if (page > 1) {
        PageUp();
        n = c - page;
      } else {
        n = c - 1;
      }
      break;
    case VK_NEXT:
      if (page > 1) {
        PageDown();
        n = c + page;
      } else {
        n = c + 1;
      }
      break;
    case VK_END:
      n = GetItemCount() - 1;
      break;
    case VK_HOME:
      n = 0;
      break;
    case VK_LEFT:
      n = c - 1;
      break;
    case VK_RIGHT:
      n = c + 1;
      break;
    case VK_UP:
      n = c - columns;
      break;
    case VK_DOWN:
      n = c + columns;
      break;
    default:
      return;
  }
  if (IsIndexInRange(n)) {
    if ((styleBits & StyleMultipleSelection) != 0 && ::GetKeyState(VK_SHIFT) < 0)
      SelectRange(ItemPos::ByIndex(n));
    else
      SelectItem(ItemPos::ByIndex(n), true);
  }
  // Also past either end: before the first item this scrolls to the top, after the last to the end.
  EnsureVisible(ItemPos::ByIndex(n));
}

void COwnerCellCtl::SetTopIndex(const ItemPos& item) {
  const int count = GetItemCount();
  const int page = GetPageSize();
  int v = ResolveIndex(item);
  if (v < 0) v = 0;
  if (v >= count - 1) v = count - 1;
  if (IsHorizontal()) {
    if (v >= count + 1 - page) v = count + 1 - page;
  } else {
    const int limit = count - count % columns + columns - page;
    if (v >= limit) v = limit;
  }
  if (v < 0) v = 0;
  if (v == topIndex) return;
  topIndex = v;
  ReportTopChanged();
  Redraw();
  RefreshScrollBars();
}

void COwnerCellCtl::ScrollTo(const ItemPos& item) {
  const int index = ResolveIndex(item);
  SetTopIndex(ItemPos::ByIndex(index - index % columns));
}

void COwnerCellCtl::EnsureVisible(const ItemPos& item) {
  if (IsItemVisible(item)) return;
  const int index = ResolveIndex(item);
  const int page = GetPageSize();
  int target;
  if (IsHorizontal())
    target = index >= topIndex + page ? index + 1 - page : index;
  else
    target = index - index % columns;
  if (target == topIndex) return;
  SetTopIndex(ItemPos::ByIndex(target));
}

void COwnerCellCtl::PageDown() {
  const int page = GetPageSize();
  const int count = GetItemCount();
  const int target = topIndex + 2 * page < count ? topIndex + page : count + columns - page;
  ScrollTo(ItemPos::ByIndex(target));
}

void COwnerCellCtl::PageUp() {
  if (topIndex < 1) return;
  ScrollTo(ItemPos::ByIndex(std::max(0, topIndex - GetPageSize())));
}

// One handler for both bars: only the code and the 16-bit position count.
LRESULT COwnerCellCtl::OnScrollMessage(WPARAM wParam, LPARAM) {
  const int code = LOWORD(wParam);
  const int position = HIWORD(wParam);
  const DWORD style = GetStyle();
  switch (code) {
    case SB_LINEUP: {
      int target;
      if ((style & WS_HSCROLL) != 0)
        target = topIndex - 1;
      else if ((style & WS_VSCROLL) != 0)
        target = topIndex - columns;
      else
        break;
      if (target >= 0) SetTopIndex(ItemPos::ByIndex(target));
      break;
    }
    case SB_LINEDOWN: {
      int target;
      if ((style & WS_HSCROLL) != 0)
        target = topIndex + 1;
      else if ((style & WS_VSCROLL) != 0)
        target = topIndex + columns;
      else
        break;
      if (target < GetItemCount()) SetTopIndex(ItemPos::ByIndex(target));
      break;
    }
    case SB_PAGEUP:
      PageUp();
      break;
    case SB_PAGEDOWN:
      PageDown();
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      if (IsHorizontal())
        SetTopIndex(ItemPos::ByIndex(position));
      else
        ScrollTo(ItemPos::ByIndex(position * columns));
      break;
    default:
      break;
  }
  return 0;
}

void COwnerCellCtl::RefreshScrollBars() {
  if (!redrawEnabled) return;
  if (cellOwner != nullptr)
    cellOwner->OnUpdateScrollBars(this);
  else
    UpdateScrollBars();
}

void COwnerCellCtl::UpdateScrollBars() {
  if (m_hWnd == nullptr) return;
  const bool horizontal = IsHorizontal();
  int bar;
  if (horizontal)
    bar = SB_HORZ;
  else
    bar = (GetStyle() & WS_VSCROLL) != 0 ? SB_VERT : rememberedScrollBar;
  const int count = GetItemCount();
  const int page = GetPageSize();
  int maximum;
  if (count == 0)
    maximum = -1;
  else if (horizontal)
    maximum = count - (page < 2 ? 1 : 0);
  else
    maximum = count / columns - (page < 2 ? 1 : 0);
  const int position = horizontal ? topIndex : topIndex / columns;
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (bar == -1 || !::GetScrollInfo(m_hWnd, bar, &info)) return;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  // Without the hide style the bar stays and is disabled when everything fits. With it the bar hides,
  // which takes WS_VSCROLL off the window, so the bar is remembered for the next update.
  if ((styleBits & StyleHideScrollBar) != 0)
    rememberedScrollBar = bar;
  else
    info.fMask |= SIF_DISABLENOSCROLL;
  info.nMin = 0;
  info.nMax = maximum;
  info.nPage = static_cast<UINT>(horizontal ? columns : rows);
  info.nPos = position;
  ::SetScrollInfo(m_hWnd, bar, &info, TRUE);
}
