// COwnerCellCtl: painting the cells, the idle-time pass, the timed repaint queue, and the window
// messages of the control.
#include "OwnerCellCtl.h"

#include "ErrorReport.h"
#include "IdleTimeEvent.h"

#include "classlib/ClientDC.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(COwnerCellCtl, COwnerCtl)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_MESSAGE(WM_HSCROLL, &COwnerCellCtl::OnScrollMessage)
  ON_MESSAGE(WM_VSCROLL, &COwnerCellCtl::OnScrollMessage)
  ON_WM_GETDLGCODE()
  ON_MESSAGE(WM_TIMER, &COwnerCellCtl::OnCellTimerMessage)
END_MESSAGE_MAP()

int COwnerCellCtl::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  RefreshScrollBars();
  return 0;
}

void COwnerCellCtl::OnSize(UINT, int, int) {
  idleQueue.clear();
  RefreshScrollBars();
}

UINT COwnerCellCtl::OnGetDlgCode() { return DLGC_WANTARROWS; }

void COwnerCellCtl::PreSubclassWindow() {
  COwnerCtl::PreSubclassWindow();
  RefreshScrollBars();
}

void COwnerCellCtl::OnAttached() { RefreshScrollBars(); }

void COwnerCellCtl::ClearDrawingQueues() {
  idleQueue.clear();
  deferredQueue.clear();
  if (deferredRedrawTimer != 0) {
    if (m_hWnd != nullptr) KillTimer(DeferredTimerId());
    deferredRedrawTimer = 0;
  }
}

// A whole repaint makes the work queued for single cells pointless.
void COwnerCellCtl::Redraw() {
  ClearDrawingQueues();
  COwnerCtl::Redraw();
}

void COwnerCellCtl::RedrawNow() {
  ClearDrawingQueues();
  COwnerCtl::RedrawNow();
}

UINT_PTR COwnerCellCtl::RedrawLater(UINT delayMs) {
  ClearDrawingQueues();
  return COwnerCtl::RedrawLater(delayMs);
}

BOOL COwnerCellCtl::DrawCell(CDC*, int, const CRect&, const CRect&, int) { return TRUE; }

BOOL COwnerCellCtl::DrawCellThrough(CDC* dc, int index, const CRect& cell, const CRect& clip, int mode) {
  if (cellOwner != nullptr) return cellOwner->OnDrawCell(this, dc, index, cell, clip, mode);
  return DrawCell(dc, index, cell, clip, mode);
}

void COwnerCellCtl::Draw(CDC* dc, const CRect&, const CRect& clip) {
  const int page = GetPageSize();
  for (int position = 0; position < page; ++position) {
    const CRect cell = GetCellRect(position);
    CRect part;
    if (!part.IntersectRect(&cell, &clip)) continue;
    const int index = topIndex + position < GetItemCount() ? topIndex + position : -1;
    if ((styleBits & StyleTwoPassDrawing) != 0 && index != -1) {
      if (!DrawCellThrough(dc, index, cell, part, 1)) QueueIdleUpdate(index, part);
    } else {
      DrawCellThrough(dc, index, cell, part, 0);
    }
  }
}

void COwnerCellCtl::QueueIdleUpdate(int index, const CRect& rect) {
  auto found = idleQueue.find(index);
  if (found == idleQueue.end()) {
    idleQueue.emplace(index, rect);
  } else {
    CRect both;
    both.IntersectRect(&found->second, &rect);
    found->second = both;
  }
}

int COwnerCellCtl::OnEvent(EventSource*, Event* event) {
  auto* idle = dynamic_cast<IdleTimeEvent*>(event);
  if (idle == nullptr || idleQueue.empty()) return 0;
  const int index = idleQueue.begin()->first;
  const CRect stored = idleQueue.begin()->second;
  idleQueue.erase(idleQueue.begin());
  if (m_hWnd != nullptr && IsIndexInRange(index) && IsItemVisible(ItemPos::ByIndex(index))) {
    try {
      CClientDC dc(this);
      const CRect cell = GetCellRect(index - topIndex);
      if (cellOwner != nullptr)
        cellOwner->OnDrawCell(this, &dc, index, cell, cell, 2);
      else
        DrawCell(&dc, index, cell, stored, 2);
    } catch (...) {
      // The cell stays as its first pass drew it; the user hears of the failure once, and the
      // other waiting cells are still drawn.
      if (!idleDrawFailureReported) {
        idleDrawFailureReported = true;
        ReportCurrentException();
      } else {
        DiscardCurrentException();
      }
    }
  }
  idle->moreTime = true;
  return 0;
}

void COwnerCellCtl::RedrawItem(const ItemPos& item) {
  if (m_hWnd == nullptr || !redrawEnabled || !IsItemVisible(item)) return;
  const CRect cell = GetCellRect(ResolveIndex(item) - topIndex);
  ::InvalidateRect(m_hWnd, &cell, FALSE);
}

// Every cell of the page from the index on, with or without an item.
void COwnerCellCtl::InvalidateVisibleFrom(int index) {
  if (m_hWnd == nullptr || !redrawEnabled) return;
  const int page = GetPageSize();
  for (int position = std::max(0, index - topIndex); position < page; ++position) {
    const CRect cell = GetCellRect(position);
    ::InvalidateRect(m_hWnd, &cell, FALSE);
  }
}

void COwnerCellCtl::RedrawItemDeferred(const ItemPos& item, UINT delayMs) {
  const int index = ResolveIndex(item);
  if (deferredRedrawTimer != 0) {
    if (m_hWnd != nullptr) KillTimer(DeferredTimerId());
    deferredRedrawTimer = 0;
  }
  if (index >= 0) deferredQueue.insert(index);
  // Each call restarts the wait, so a burst is served only after the last call's delay.
  if (m_hWnd != nullptr) deferredRedrawTimer = SetTimer(DeferredTimerId(), delayMs);
}

LRESULT COwnerCellCtl::OnCellTimerMessage(WPARAM wParam, LPARAM lParam) {
  if (static_cast<UINT_PTR>(wParam) != DeferredTimerId()) return OnTimerMessage(wParam, lParam);
  KillTimer(DeferredTimerId());
  deferredRedrawTimer = 0;
  if (deferredQueue.empty()) return 0;
  const int index = *deferredQueue.begin();
  DrawCellNow(ItemPos::ByIndex(index));
  deferredQueue.erase(index);
  if (!deferredQueue.empty()) deferredRedrawTimer = SetTimer(DeferredTimerId(), 10);
  return 0;
}

void COwnerCellCtl::DrawCellNow(const ItemPos& item) {
  const int index = ResolveIndex(item);
  if (m_hWnd == nullptr || !IsIndexInRange(index) || !IsItemVisible(item)) return;
  {
    CClientDC dc(this);
    const CRect cell = GetCellRect(index - topIndex);
    DrawCellThrough(&dc, index, cell, cell, 0);
  }
  idleQueue.erase(index);
}

void COwnerCellCtl::DrawCellFrame(CDC* dc, const CRect& rect, bool hasItem, bool selected) {
  COLORREF colour = RGB(196, 196, 196);
  if (hasItem) colour = selected ? RGB(128, 128, 128) : RGB(160, 160, 160);
  dc->Draw3dRect(&rect, colour, colour);
}
