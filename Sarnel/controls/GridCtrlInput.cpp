// CGridCtrl: focus cell, selection, mouse and keyboard.
#include "GridCtrl.h"

#include <algorithm>

namespace {
constexpr UINT_PTR kAutoScrollTimer = 513;
bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }
}  // namespace

// ---- focus

CellID CGridCtrl::SetFocusCell(int row, int col) {
  const CellID old = m_focus;
  const CellID cell(row, col);
  if (cell == old) return old;
  m_focus = cell;
  if (IsValid(old.row, std::max(old.col, 0)) && old.row >= 0) {
    SendGridNotify(GN_FOCUSCHANGING, old.row, old.col, row, col);
    if (GridCell* c = GetCell(old.row, old.col)) {
      c->state &= ~GVIS_FOCUSED;
      InvalidateCellRect(old.row, old.col);
    }
    for (int fc = 0; fc < m_fixedCols; ++fc) InvalidateCellRect(old.row, fc);
  }
  if (row >= 0 && row < m_rows) {
    if (GridCell* c = GetCell(row, col)) {
      c->state |= GVIS_FOCUSED;
      RedrawCell(row, col);
    }
    for (int fc = 0; fc < m_fixedCols; ++fc) InvalidateCellRect(row, fc);
    SendGridNotify(GN_FOCUSCHANGED, row, col, old.row, old.col);
  }
  return old;
}

// ---- selection

void CGridCtrl::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, BOOL forceRedraw) {
  if (!m_selectionEnabled) return;
  const CellRange range(minRow, minCol, maxRow, maxCol);
  const BOOL valid = IsValid(range);
  const std::set<CellID> before = m_selectedCells;
  auto repaint = [&](const CellID& id) {
    if (forceRedraw)
      RedrawCell(id.row, id.col);
    else
      InvalidateCellRect(id.row, id.col);
  };
  for (const CellID& id : before) {
    if (GridCell* c = GetCell(id.row, id.col)) c->state &= ~GVIS_SELECTED;
    if (!valid || !range.Contains(id.row, id.col)) repaint(id);
  }
  m_selectedCells.clear();
  if (!m_singleRowSelection) {
    for (const CellID& id : m_prevSelectedCells) {
      if (GridCell* c = GetCell(id.row, id.col)) {
        c->state |= GVIS_SELECTED;
        m_selectedCells.insert(id);
        repaint(id);
      }
    }
  }
  if (valid) {
    for (int r = minRow; r <= maxRow; ++r)
      for (int c = minCol; c <= maxCol; ++c) {
        GridCell* cell = GetCell(r, c);
        if (cell == nullptr || m_selectedCells.count(CellID(r, c))) continue;
        cell->state |= GVIS_SELECTED;
        m_selectedCells.insert(CellID(r, c));
        if (!before.count(CellID(r, c))) repaint(CellID(r, c));
      }
  }
  if (m_selectedCells != before) SendGridNotify(GN_SELCHANGED);
}

void CGridCtrl::SetSelectedRows(int minRow, int maxRow, BOOL forceRedraw) {
  if (!m_selectionEnabled) return;
  const std::set<int> before = m_selectedRows;
  std::set<int> rows = m_singleRowSelection ? std::set<int>() : m_prevSelectedRows;
  for (int r = std::max(minRow, m_fixedRows); r <= std::min(maxRow, m_rows - 1); ++r) rows.insert(r);
  m_selectedRows = rows;
  bool changed = false;
  for (int r = 0; r < m_rows; ++r) {
    if ((before.count(r) != 0) != (rows.count(r) != 0)) {
      changed = true;
      if (forceRedraw)
        RedrawRow(r);
      else
        InvalidateRow(r);
    }
  }
  if (changed) SendGridNotify(GN_SELCHANGED);
}

void CGridCtrl::SelectAllCells() {
  if (!m_selectionEnabled) return;
  const CellRange all(m_fixedRows, m_fixedCols, m_rows - 1, m_cols - 1);
  if (!(GetSelectedCellRange() == all)) SetSelectedRange(all.minRow, all.minCol, all.maxRow, all.maxCol);
}

void CGridCtrl::SelectColumns(CellID cell) {
  if (!m_selectionEnabled || !IsValid(cell.row, cell.col) || cell.col < m_fixedCols) return;
  const int start = m_selectionStart.col >= m_fixedCols ? m_selectionStart.col : cell.col;
  SetSelectedRange(m_fixedRows, std::min(start, cell.col), m_rows - 1, std::max(start, cell.col));
}

void CGridCtrl::SelectRows(int row, BOOL exclusive) {
  if (!m_selectionEnabled || row < m_fixedRows || row >= m_rows) return;
  const int start = m_selectionStart.row >= m_fixedRows ? m_selectionStart.row : row;
  if ((m_listMode && m_singleRowSelection) || exclusive) {
    if (m_selectedRows.size() == 1 && *m_selectedRows.begin() == row) return;
    const int firstBefore = m_selectedRows.empty() ? -1 : *m_selectedRows.begin();
    if (m_listMode) {
      SendGridNotify(GN_ROWSELCHANGING, row, -1, firstBefore, -1);
      m_prevSelectedRows.clear();
      SetSelectedRows(row, row);
      SendGridNotify(GN_ROWSELCHANGED, row, -1, firstBefore, -1);
    } else {
      SetSelectedRange(row, m_fixedCols, row, m_cols - 1);
    }
  } else if (m_listMode) {
    std::set<int> wanted = m_prevSelectedRows;
    for (int r = std::min(start, row); r <= std::max(start, row); ++r) wanted.insert(r);
    if (wanted == m_selectedRows) return;
    const int firstBefore = m_selectedRows.empty() ? -1 : *m_selectedRows.begin();
    SendGridNotify(GN_ROWSELCHANGING, row, -1, firstBefore, -1);
    SetSelectedRows(std::min(start, row), std::max(start, row));
    SendGridNotify(GN_ROWSELCHANGED, row, -1, firstBefore, -1);
  } else {
    SetSelectedRange(std::min(start, row), m_fixedCols, std::max(start, row), m_cols - 1);
  }
}

void CGridCtrl::SelectCells(CellID cell) {
  if (!m_selectionEnabled || !IsValid(cell.row, cell.col) || cell.row < m_fixedRows || cell.col < m_fixedCols)
    return;
  CellID start = m_selectionStart;
  if (!IsValid(start.row, start.col)) start = cell;
  SetSelectedRange(std::min(start.row, cell.row), std::min(start.col, cell.col),
                   std::max(start.row, cell.row), std::max(start.col, cell.col));
}

void CGridCtrl::OnSelecting(CellID cell) {
  switch (m_mouseMode) {
    case 1:
      SelectAllCells();
      break;
    case 2:
      SelectColumns(cell);
      break;
    case 3:
      SelectRows(cell.row, FALSE);
      break;
    case 4:
      SelectCells(cell);
      break;
    default:
      break;
  }
}

void CGridCtrl::SelectRow(int row, BOOL exclusive) {
  if (row != m_focus.row) {
    SetFocusCell(row, -1);
    SelectRows(row, exclusive);
  }
}

void CGridCtrl::SetRowSelected(int row, BOOL select) {
  if (select)
    m_selectedRows.insert(row);
  else
    m_selectedRows.erase(row);
  InvalidateRow(row);
}

CellRange CGridCtrl::GetSelectedCellRange() const {
  if (m_selectedCells.empty()) return CellRange(m_rows, m_cols, -1, -1);
  CellRange range(m_rows, m_cols, -1, -1);
  for (const CellID& id : m_selectedCells) {
    range.minRow = std::min(range.minRow, id.row);
    range.minCol = std::min(range.minCol, id.col);
    range.maxRow = std::max(range.maxRow, id.row);
    range.maxCol = std::max(range.maxCol, id.col);
  }
  return range;
}

CellRange CGridCtrl::GetSelectedRowRange() const {
  if (m_selectedRows.empty()) return CellRange(-1, -1, -1, -1);
  return CellRange(*m_selectedRows.begin(), -1, *m_selectedRows.rbegin(), -1);
}

void CGridCtrl::ResetSelectedRange() {
  m_prevSelectedCells.clear();
  m_prevSelectedRows.clear();
  SetSelectedRange(-1, -1, -1, -1);
  const std::set<int> rows = m_selectedRows;
  m_selectedRows.clear();
  for (int r : rows) InvalidateRow(r);
  SetFocusCell(-1, -1);
}

void CGridCtrl::OnEditSelectAll() { SelectAllCells(); }

void CGridCtrl::OnUpdateEditSelectAll(CCmdUI* cmdUI) { cmdUI->Enable(m_selectionEnabled); }

// ---- mouse

int CGridCtrl::ColumnDividerAt(CPoint p) const {
  if (p.y < 0 || p.y >= GetFixedRowHeight()) return -1;
  const CellID cell = GetCellFromPt(p);
  if (cell.col < m_fixedCols || cell.col >= m_cols) return -1;
  RECT rect;
  if (!GetCellRect(std::max(cell.row, 0), cell.col, &rect)) return -1;
  if (rect.right - p.x < m_resizeCapture) return cell.col;
  if (p.x - rect.left < m_resizeCapture && cell.col > m_fixedCols) return cell.col - 1;
  return -1;
}

int CGridCtrl::RowDividerAt(CPoint p) const {
  if (p.x < 0 || p.x >= GetFixedColumnWidth()) return -1;
  const CellID cell = GetCellFromPt(p);
  if (cell.row < m_fixedRows || cell.row >= m_rows) return -1;
  RECT rect;
  if (!GetCellRect(cell.row, std::max(cell.col, 0), &rect)) return -1;
  if (rect.bottom - p.y < m_resizeCapture) return cell.row;
  if (p.y - rect.top < m_resizeCapture && cell.row > m_fixedRows) return cell.row - 1;
  return -1;
}

void CGridCtrl::InvertSizingLine(int pos, BOOL vertical) {
  RECT client;
  GetClientRect(&client);
  HDC dc = ::GetDC(m_hWnd);
  if (dc == nullptr) return;
  if (vertical)
    ::PatBlt(dc, pos, 0, 2, client.bottom, DSTINVERT);
  else
    ::PatBlt(dc, 0, pos, client.right, 2, DSTINVERT);
  ::ReleaseDC(m_hWnd, dc);
}

void CGridCtrl::OnFixedRowClick(CellID cell) {
  if (m_listMode) {
    if (m_headerClicks) {
      HCURSOR old = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
      const BOOL ascending = cell.col == m_sortColumn ? !m_sortAscending : TRUE;
      SortByColumn(cell.col, ascending);
      ::SetCursor(old);
      Invalidate();
    }
    return;
  }
  m_mouseMode = cell.col < m_fixedCols ? 1 : 2;
  OnSelecting(cell);
}

void CGridCtrl::OnFixedColumnClick(CellID cell) {
  m_mouseMode = cell.row < m_fixedRows ? 1 : 3;
  OnSelecting(cell);
}

void CGridCtrl::OnLButtonDown(UINT flags, CPoint point) {
  m_downPoint = point;
  m_clickDownCell = GetCellFromPt(point);
  SendGridNotify(NM_CLICK, m_clickDownCell.row, m_clickDownCell.col);
  if (m_hWnd == nullptr || !IsValid(m_clickDownCell.row, m_clickDownCell.col)) return;
  const BOOL shift = (flags & MK_SHIFT) != 0, ctrl = (flags & MK_CONTROL) != 0;
  if (!shift) m_selectionStart = m_clickDownCell;
  const BOOL hadFocus = ::GetFocus() == m_hWnd;
  const BOOL editorWasActive = IsEditorActive();
  if (editorWasActive) EndEditing();
  SetFocus();
  const CellID cell = m_clickDownCell;
  if (cell == m_focus && !(ctrl && m_listMode)) {
    if (!editorWasActive) m_mouseMode = 10;
    m_lastMouse = point;
    return;
  }
  if (m_mouseMode != 6 && m_mouseMode != 8) {
    if (!m_headerClicks && cell.row < m_fixedRows) return;
    // Ctrl+click on a selected row in list mode deselects it (with single-row selection too).
    if (ctrl && m_listMode && IsRowSelected(cell.row)) {
      SendGridNotify(GN_ROWSELCHANGING, cell.row, -1);
      m_selectedRows.erase(cell.row);
      InvalidateRow(cell.row);
      SendGridNotify(GN_ROWSELCHANGED, cell.row, -1);
      SendGridNotify(GN_SELCHANGED);
      if (m_focus.row == cell.row) SetFocusCell(-1, -1);
      m_mouseMode = 0;
      return;
    }
    if (cell.row < m_fixedRows)
      SetFocusCell(-1, -1);
    else if (cell.col < m_fixedCols)
      SetFocusCell(cell.row, -1);
    else
      SetFocusCell(cell.row, cell.col);
  }
  const GridCell* gc = GetCell(cell.row, cell.col);
  if (m_dragAndDrop && hadFocus &&
      (IsRowSelected(cell.row) ||
       (gc != nullptr && (gc->state & GVIS_SELECTED) && !(gc->state & GVIS_CLICKEDIT)))) {
    m_mouseMode = 11;
    m_lastMouse = point;
    return;
  }
  SetCapture();
  if (m_mouseMode == 0) {
    if (m_allowColResize && ColumnDividerAt(point) >= 0)
      m_mouseMode = 8;
    else if (m_allowRowResize && RowDividerAt(point) >= 0)
      m_mouseMode = 6;
  }
  if (m_mouseMode == 8 || m_mouseMode == 6) {
    // divider dragging: a line follows the pointer, the size is taken on button up
    const BOOL columns = m_mouseMode == 8;
    m_sizingIndex = columns ? ColumnDividerAt(point) : RowDividerAt(point);
    RECT rect;
    if (m_sizingIndex < 0 || !GetCellRect(columns ? 0 : m_sizingIndex, columns ? m_sizingIndex : 0, &rect)) {
      m_mouseMode = 0;
    } else {
      m_mouseMode = columns ? 9 : 7;
      InvertSizingLine(columns ? point.x : point.y, columns);
      RECT confine;
      GetClientRect(&confine);
      if (columns)
        confine.left = rect.left;
      else
        confine.top = rect.top;
      ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&confine.left));
      ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&confine.right));
      ::ClipCursor(&confine);
    }
  } else {
    if (ctrl) {
      m_prevSelectedCells = m_selectedCells;
      m_prevSelectedRows = m_selectedRows;
    }
    if (cell.row < m_fixedRows) {
      OnFixedRowClick(cell);
    } else if (cell.col < m_fixedCols) {
      OnFixedColumnClick(cell);
    } else {
      m_mouseMode = m_listMode ? 3 : 4;
      OnSelecting(cell);
      m_mouseMode = 0;
    }
    m_prevSelectedCells.clear();
    m_prevSelectedRows.clear();
    if (cell.row >= m_fixedRows && cell.col >= m_fixedCols &&
        (m_singleClickEdit || (gc != nullptr && (gc->state & GVIS_CLICKEDIT)))) {
      ::ReleaseCapture();
      BeginEdit(cell.row, cell.col, 1);
    } else {
      m_timerId = SetTimer(kAutoScrollTimer, m_timerInterval, nullptr);
    }
  }
  m_lastMouse = point;
}

void CGridCtrl::OnLButtonUp(UINT, CPoint point) {
  Default();
  ::ClipCursor(nullptr);
  if (::GetCapture() == m_hWnd) {
    ::ReleaseCapture();
    if (m_timerId != 0) KillTimer(m_timerId);
    m_timerId = 0;
  }
  if (m_mouseMode == 10) {
    if (IsCellEditable(m_focus.row, m_focus.col)) {
      BeginEdit(m_focus.row, m_focus.col, 1);
    } else {
      m_mouseMode = m_listMode ? 3 : 4;
      OnSelecting(m_focus);
    }
  } else if (m_mouseMode == 9 || m_mouseMode == 7) {
    const BOOL columns = m_mouseMode == 9;
    InvertSizingLine(columns ? m_lastMouse.x : m_lastMouse.y, columns);
    RECT rect;
    if (point != m_downPoint && m_sizingIndex >= 0 &&
        GetCellRect(columns ? 0 : m_sizingIndex, columns ? m_sizingIndex : 0, &rect)) {
      if (columns)
        m_colInfo[static_cast<size_t>(m_sizingIndex)].width = std::max<int>(0, point.x - rect.left);
      else
        m_rowInfo[static_cast<size_t>(m_sizingIndex)].height = std::max<int>(0, point.y - rect.top);
      ExpandColumns();
      ResetScrollBars();
      Invalidate();
    }
    m_sizingIndex = -1;
  } else if (m_mouseMode == 11) {
    m_clickDownCell = GetCellFromPt(point);
    if (IsValid(m_clickDownCell.row, m_clickDownCell.col)) {
      m_mouseMode = m_listMode ? 3 : 4;
      OnSelecting(m_clickDownCell);
    }
  }
  m_mouseMode = 0;
  ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
  if (IsValid(m_clickDownCell.row, m_clickDownCell.col)) {
    if (HWND receiver = Receiver())
      ::PostMessageA(receiver, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(m_hWnd), 0),
                     reinterpret_cast<LPARAM>(m_hWnd));
  }
}

void CGridCtrl::OnLButtonDblClk(UINT, CPoint point) {
  const CellID cell = GetCellFromPt(point);
  SendGridNotify(NM_DBLCLK, cell.row, cell.col);
  if (m_mouseMode == 8 || m_mouseMode == 6) {
    const int index = m_mouseMode == 8 ? ColumnDividerAt(point) : RowDividerAt(point);
    if (index >= 0) {
      if (m_mouseMode == 8)
        AutoSizeColumn(index, 0);
      else
        AutoSizeRow(index, 0);
      Invalidate();
    }
    return;
  }
  if (m_mouseMode == 0 && IsValid(m_clickDownCell.row, m_clickDownCell.col) &&
      m_clickDownCell.row >= m_fixedRows && m_clickDownCell.col >= m_fixedCols)
    BeginEdit(m_focus.row, m_focus.col, 1);
}

void CGridCtrl::OnMouseMove(UINT flags, CPoint point) {
  RECT client;
  GetClientRect(&client);
  if (!::PtInRect(&client, point)) {
    if (::GetCapture() == m_hWnd && m_dragAndDrop && m_mouseMode == 11) {
      const CellRange range = GetSelectedCellRange();
      SendGridNotify(GN_BEGINDRAG, range.minRow, range.minCol);
    }
    m_lastMouse = point;
    return;
  }
  if ((flags & MK_LBUTTON) && m_mouseMode != 0) {
    if ((m_mouseMode == 2 || m_mouseMode == 3 || m_mouseMode == 4) && ::GetCapture() == m_hWnd) {
      const CellID cell = GetCellFromPt(point);
      if (IsValid(cell.row, cell.col) && cell != m_focus) {
        if (cell.row < m_fixedRows)
          SetFocusCell(-1, -1);
        else if (cell.col < m_fixedCols)
          SetFocusCell(cell.row, -1);
        else
          SetFocusCell(cell.row, cell.col);
        OnSelecting(cell);
      }
    } else if (m_mouseMode == 9 || m_mouseMode == 7) {
      const BOOL columns = m_mouseMode == 9;
      InvertSizingLine(columns ? m_lastMouse.x : m_lastMouse.y, columns);
      InvertSizingLine(columns ? point.x : point.y, columns);
    } else if (m_mouseMode == 10) {
      const CellID cell = GetCellFromPt(point);
      if (cell != m_focus && m_dragAndDrop) {
        m_mouseMode = 11;
        const CellRange range = GetSelectedCellRange();
        SendGridNotify(GN_BEGINDRAG, range.minRow, range.minCol);
      }
    } else if (m_mouseMode == 11 && m_dragAndDrop) {
      const CellRange range = GetSelectedCellRange();
      SendGridNotify(GN_BEGINDRAG, range.minRow, range.minCol);
    }
  } else if (m_allowColResize && ColumnDividerAt(point) >= 0) {
    m_mouseMode = 8;
    ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
  } else if (m_allowRowResize && RowDividerAt(point) >= 0) {
    m_mouseMode = 6;
    ::SetCursor(::LoadCursorA(nullptr, IDC_SIZENS));
  } else if (m_mouseMode != 0) {
    m_mouseMode = 0;
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
  }
  m_lastMouse = point;
}

void CGridCtrl::OnTimer(UINT_PTR id) {
  if (id != kAutoScrollTimer) return;
  POINT p;
  ::GetCursorPos(&p);
  ::ScreenToClient(m_hWnd, &p);
  RECT client;
  GetClientRect(&client);
  const int fixedH = GetFixedRowHeight(), fixedW = GetFixedColumnWidth();
  const int x = std::max<LONG>(0, std::min<LONG>(p.x, client.right - 1));
  if (p.y > client.bottom) {
    SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    OnSelecting(GetCellFromPt(CPoint(x, client.bottom - 1)));
  } else if (p.y < fixedH) {
    SendMessage(WM_KEYDOWN, VK_UP, 0);
    OnSelecting(GetCellFromPt(CPoint(x, fixedH + 1)));
  }
  if (!m_listMode) {
    if (p.x > client.right) {
      SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
      OnSelecting(GetCellFromPt(CPoint(client.right - 1, std::max<LONG>(p.y, fixedH))));
    } else if (p.x < fixedW) {
      SendMessage(WM_KEYDOWN, VK_LEFT, 0);
      OnSelecting(GetCellFromPt(CPoint(fixedW + 1, std::max<LONG>(p.y, fixedH))));
    }
  }
}

void CGridCtrl::OnCaptureChanged(CWnd* wnd) {
  if ((wnd == nullptr || AfxSafeHwnd(wnd) != m_hWnd) && m_timerId != 0) {
    KillTimer(m_timerId);
    m_timerId = 0;
  }
}

BOOL CGridCtrl::OnSetCursor(CWnd* wnd, UINT hitTest, UINT) {
  if (hitTest != HTCLIENT) return static_cast<BOOL>(Default());
  (void)wnd;
  LPCSTR cursor = m_mouseMode == 6 ? IDC_SIZENS : m_mouseMode == 8 ? IDC_SIZEWE : IDC_ARROW;
  ::SetCursor(::LoadCursorA(nullptr, cursor));
  return TRUE;
}

void CGridCtrl::OnSetFocus(CWnd*) {
  Default();
  if (IsValid(m_focus.row, m_focus.col)) InvalidateCellRect(m_focus.row, m_focus.col);
}

void CGridCtrl::OnKillFocus(CWnd*) {
  Default();
  if (IsValid(m_focus.row, m_focus.col)) InvalidateCellRect(m_focus.row, m_focus.col);
}

// ---- keyboard

UINT CGridCtrl::OnGetDlgCode() {
  UINT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (m_handleTab && !KeyDown(VK_CONTROL)) code |= DLGC_WANTTAB;
  return code;
}

void CGridCtrl::OnChar(UINT ch, UINT, UINT) {
  if (!KeyDown(VK_CONTROL) && m_mouseMode == 0 && m_typingEdits && !(ch == VK_TAB && m_handleTab))
    BeginEdit(m_focus.row, m_focus.col, ch);
  Default();
}

void CGridCtrl::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  GridKeyDownNotify record{};
  record.hdr.hwndFrom = m_hWnd;
  record.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
  record.hdr.code = static_cast<UINT>(GN_KEYDOWN);
  record.key = static_cast<WORD>(key);
  record.flags = MAKELONG(repeat, flags);
  if (HWND receiver = Receiver())
    ::SendMessageA(receiver, WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
  if (m_focus.row < 0 || (!m_singleRowSelection && m_focus.col < 0)) {
    Default();
    return;
  }
  HandleKey(key, KeyDown(VK_SHIFT), KeyDown(VK_CONTROL));
}

// One step of key k from (r, c); FALSE when the key does nothing (the default handling runs).
BOOL CGridCtrl::KeyMove(UINT& k, BOOL shift, BOOL ctrl, int& r, int& c) {
  const int firstCol = m_fixedCols, lastCol = m_cols - 1, firstRow = m_fixedRows, lastRow = m_rows - 1;
  switch (k) {
    case VK_TAB:
      if (shift) {
        if (c == -1) {
          if (lastCol < firstCol) return FALSE;
          c = lastCol;
        } else if (c > firstCol) {
          --c;
        } else if (c == firstCol && r > firstRow) {
          --r;
          c = lastCol;
        } else {
          return FALSE;
        }
      } else {
        if (c == -1) {
          if (firstCol > lastCol) return FALSE;
          c = firstCol;
        } else if (c < lastCol) {
          ++c;
        } else if (r < lastRow) {
          ++r;
          c = firstCol;
        } else {
          return FALSE;
        }
      }
      return TRUE;
    case 10:
      if (r < lastRow) {
        ++r;
        c = firstCol;
      }
      k = VK_LEFT;
      return TRUE;
    case VK_PRIOR:
    case VK_NEXT: {
      const CellID before = GetTopleftNonFixedCell();
      SendMessage(WM_VSCROLL, k == VK_PRIOR ? SB_PAGEUP : SB_PAGEDOWN, 0);
      const CellID after = GetTopleftNonFixedCell();
      if (before == after)
        r = k == VK_PRIOR ? firstRow : lastRow;
      else
        r = std::max(firstRow, std::min(lastRow, r + after.row - before.row));
      return TRUE;
    }
    case VK_END:
      if (ctrl) {
        SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
        r = lastRow;
        while (r > firstRow && GetRowHeight(r) == 0) --r;
      } else {
        c = lastCol;
        k = VK_RIGHT;
      }
      return TRUE;
    case VK_HOME:
      if (ctrl) {
        SendMessage(WM_VSCROLL, SB_TOP, 0);
        r = firstRow;
      } else {
        c = firstCol;
        k = VK_LEFT;
      }
      return TRUE;
    case VK_LEFT:
      if (c == -1) {
        if (lastCol < firstCol) return FALSE;
        c = lastCol;
      } else if (c > firstCol) {
        --c;
      }
      return TRUE;
    case VK_RIGHT:
      if (c == -1) {
        if (firstCol > lastCol) return FALSE;
        c = firstCol;
      } else if (c < lastCol) {
        ++c;
      }
      return TRUE;
    case VK_UP:
      if (r > firstRow) --r;
      return TRUE;
    case VK_DOWN:
      if (r < lastRow) ++r;
      return TRUE;
    case VK_F2:
      if (m_focus.col >= 0)
        BeginEdit(m_focus.row, m_focus.col, 32);
      else
        Default();
      return TRUE;
    default:
      return FALSE;
  }
}

void CGridCtrl::HandleKey(UINT key, BOOL shift, BOOL ctrl) {
  const CellID start = m_focus;
  const BOOL tab = key == VK_TAB;
  int r = start.row, c = start.col;
  UINT k = key;
  for (int guard = 0; guard < m_rows + m_cols + 4; ++guard) {
    const int pr = r, pc = c;
    if (!KeyMove(k, shift, ctrl, r, c)) {
      if (guard == 0 && m_hWnd != nullptr) Default();
      break;
    }
    if (r >= 0 && c >= 0 && GetRowHeight(r) != 0 && GetColumnWidth(c) != 0) break;
    if (r == pr && c == pc) break;
  }
  FinishMove(start, r, c, shift, tab);
}

void CGridCtrl::FinishMove(CellID start, int r, int c, BOOL shift, BOOL tab) {
  const CellID target(r, c);
  if (target == start || target == m_focus) return;
  SetFocusCell(r, c);
  if (m_mouseMode == 0) {
    m_prevSelectedCells.clear();
    m_prevSelectedRows.clear();
    m_mouseMode = m_listMode ? 3 : 4;
    if (!shift || tab) m_selectionStart = target;
    OnSelecting(target);
    m_mouseMode = 0;
  }
  EnsureVisible(r, c);
}
