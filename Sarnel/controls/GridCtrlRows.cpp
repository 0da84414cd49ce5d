// CGridCtrl: row and column counts, inserting, deleting and swapping rows, row data.
#include "GridCtrl.h"

#include <algorithm>

int CGridCtrl::GetRowCount(BOOL includeNewRowLine) const {
  return m_newRowLine && !includeNewRowLine ? m_rows - 1 : m_rows;
}

void CGridCtrl::SetNewRowLine(BOOL on) {
  if (on == m_newRowLine) return;
  const int rows = GetRowCount(FALSE);
  m_newRowLine = on;
  SetRowCount(std::max(rows, 0));
}

void CGridCtrl::DestroyRowCells(int row) {
  auto& cells = m_cells[static_cast<size_t>(row)];
  for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
    GridCell* cell = cells[static_cast<size_t>(c)];
    if (cell == nullptr) continue;
    DestroyCell(cell, row, c);
    cells[static_cast<size_t>(c)] = nullptr;
  }
}

BOOL CGridCtrl::SetRowCount(int n) {
  if (n < 0) return FALSE;
  const int total = n + (m_newRowLine ? 1 : 0);
  if (total == m_rows) return TRUE;
  if (m_fixedRows > total) m_fixedRows = total;
  if (m_focus.row >= total) SetFocusCell(-1, -1);
  if (total < m_rows) {
    for (int r = total; r < m_rows; ++r) {
      SendGridNotify(GN_DELETEROW, r, -1);
      OnRowDeleting(r);
      DestroyRowCells(r);
    }
    for (auto it = m_selectedCells.begin(); it != m_selectedCells.end();)
      it = it->row >= total ? m_selectedCells.erase(it) : std::next(it);
    for (auto it = m_prevSelectedCells.begin(); it != m_prevSelectedCells.end();)
      it = it->row >= total ? m_prevSelectedCells.erase(it) : std::next(it);
    m_selectedRows.erase(m_selectedRows.lower_bound(total), m_selectedRows.end());
    m_prevSelectedRows.erase(m_prevSelectedRows.lower_bound(total), m_prevSelectedRows.end());
    m_cells.resize(static_cast<size_t>(total));
    m_rowInfo.resize(static_cast<size_t>(total));
    m_rows = total;
  } else {
    const int old = m_rows;
    m_cells.resize(static_cast<size_t>(total));
    m_rowInfo.resize(static_cast<size_t>(total));
    for (int r = old; r < total; ++r) {
      m_rowInfo[static_cast<size_t>(r)].height = m_defaultRowHeight;
      m_cells[static_cast<size_t>(r)].assign(static_cast<size_t>(m_cols), nullptr);
      m_rows = r + 1;
      for (int c = 0; c < m_cols; ++c)
        m_cells[static_cast<size_t>(r)][static_cast<size_t>(c)] = CreateCell(r, c);
    }
  }
  if (m_redraw && m_hWnd != nullptr) {
    ResetScrollBars();
    Invalidate();
  }
  return TRUE;
}

BOOL CGridCtrl::SetColumnCount(int n) {
  if (n < 0) return FALSE;
  if (n == m_cols) return TRUE;
  if (m_fixedCols > n) m_fixedCols = n;
  if (m_focus.col >= n) SetFocusCell(-1, -1);
  if (m_stretchMode == 1 && m_stretchColumn >= n) {
    m_stretchMode = 0;
    m_stretchColumn = -1;
  }
  if (n < m_cols) {
    for (int r = 0; r < m_rows; ++r) {
      auto& cells = m_cells[static_cast<size_t>(r)];
      for (int c = n; c < m_cols; ++c) {
        DestroyCell(cells[static_cast<size_t>(c)], r, c);
        cells[static_cast<size_t>(c)] = nullptr;
      }
      cells.resize(static_cast<size_t>(n));
    }
    for (auto it = m_selectedCells.begin(); it != m_selectedCells.end();)
      it = it->col >= n ? m_selectedCells.erase(it) : std::next(it);
    for (auto it = m_prevSelectedCells.begin(); it != m_prevSelectedCells.end();)
      it = it->col >= n ? m_prevSelectedCells.erase(it) : std::next(it);
    m_colInfo.resize(static_cast<size_t>(n));
    m_cols = n;
  } else {
    const int old = m_cols;
    m_colInfo.resize(static_cast<size_t>(n));
    for (int c = old; c < n; ++c) m_colInfo[static_cast<size_t>(c)].width = m_defaultColWidth;
    for (auto& cells : m_cells) cells.resize(static_cast<size_t>(n), nullptr);
    m_cols = n;
    for (int r = 0; r < m_rows; ++r)
      for (int c = old; c < n; ++c)
        m_cells[static_cast<size_t>(r)][static_cast<size_t>(c)] = CreateCell(r, c);
  }
  ExpandColumns();
  if (m_redraw && m_hWnd != nullptr) {
    ResetScrollBars();
    Invalidate();
  }
  return TRUE;
}

BOOL CGridCtrl::SetFixedRowCount(int n) {
  if (n < 0) return FALSE;
  if (m_rows < n && !SetRowCount(n - (m_newRowLine ? 1 : 0))) return FALSE;
  if (m_focus.row >= 0 && m_focus.row < n) SetFocusCell(-1, -1);
  m_fixedRows = std::min(n, m_rows);
  if (m_redraw && m_hWnd != nullptr) {
    ResetScrollBars();
    Invalidate();
  }
  return TRUE;
}

BOOL CGridCtrl::SetFixedColumnCount(int n) {
  if (n < 0) return FALSE;
  if (m_cols < n && !SetColumnCount(n)) return FALSE;
  if (m_focus.col >= 0 && m_focus.col < n) SetFocusCell(-1, -1);
  m_fixedCols = n;
  if (m_redraw && m_hWnd != nullptr) {
    ResetScrollBars();
    Invalidate();
  }
  return TRUE;
}

void CGridCtrl::ShiftIndexesForInsert(int index) {
  auto shiftCells = [index](std::set<CellID>& cells) {
    std::set<CellID> moved;
    for (CellID id : cells) {
      if (id.row >= index) ++id.row;
      moved.insert(id);
    }
    cells.swap(moved);
  };
  auto shiftRows = [index](std::set<int>& rows) {
    std::set<int> moved;
    for (int r : rows) moved.insert(r >= index ? r + 1 : r);
    rows.swap(moved);
  };
  shiftCells(m_selectedCells);
  shiftCells(m_prevSelectedCells);
  shiftRows(m_selectedRows);
  shiftRows(m_prevSelectedRows);
}

void CGridCtrl::ShiftIndexesForDelete(int row) {
  auto shiftCells = [row](std::set<CellID>& cells) {
    std::set<CellID> moved;
    for (CellID id : cells) {
      if (id.row == row) continue;
      if (id.row > row) --id.row;
      moved.insert(id);
    }
    cells.swap(moved);
  };
  auto shiftRows = [row](std::set<int>& rows) {
    std::set<int> moved;
    for (int r : rows)
      if (r != row) moved.insert(r > row ? r - 1 : r);
    rows.swap(moved);
  };
  shiftCells(m_selectedCells);
  shiftCells(m_prevSelectedCells);
  shiftRows(m_selectedRows);
  shiftRows(m_prevSelectedRows);
}

int CGridCtrl::InsertRow(LPCTSTR text, int index) {
  const int count = GetRowCount(FALSE);
  if (index > count) return -1;
  if (index < 0) index = count;
  if (m_cols == 0) SetColumnCount(1);
  // rows at or below the index move down first, so the new cells see the right neighbour above
  m_cells.insert(m_cells.begin() + index, std::vector<GridCell*>(static_cast<size_t>(m_cols), nullptr));
  m_rowInfo.insert(m_rowInfo.begin() + index, GridRowInfo());
  m_rowInfo[static_cast<size_t>(index)].height = m_defaultRowHeight;
  ++m_rows;
  ShiftIndexesForInsert(index);
  if (m_focus.row > index) ++m_focus.row;
  for (int c = 0; c < m_cols; ++c)
    m_cells[static_cast<size_t>(index)][static_cast<size_t>(c)] = CreateCell(index, c);
  if (m_focus.row == index) {
    // the focus stays at its index, which the new row now holds
    if (GridCell* moved = GetCell(index + 1, m_focus.col)) moved->state &= ~GVIS_FOCUSED;
    if (GridCell* now = GetCell(index, m_focus.col)) now->state |= GVIS_FOCUSED;
  }
  SetItemText(index, 0, text);
  if (m_redraw && m_hWnd != nullptr) {
    ResetScrollBars();
    Invalidate();
  }
  return index;
}

BOOL CGridCtrl::DeleteRow(int row) {
  if (row < 0 || row >= GetRowCount(FALSE)) return FALSE;
  EndEditing();
  SendGridNotify(GN_DELETEROW, row, -1);
  OnRowDeleting(row);
  DestroyRowCells(row);
  m_cells.erase(m_cells.begin() + row);
  m_rowInfo.erase(m_rowInfo.begin() + row);
  --m_rows;
  if (row < m_fixedRows) --m_fixedRows;
  if (m_focus.row == row)
    m_focus = CellID();
  else if (m_focus.row > row)
    --m_focus.row;
  ShiftIndexesForDelete(row);
  if (m_redraw && m_hWnd != nullptr) {
    ResetScrollBars();
    Invalidate();
  }
  return TRUE;
}

BOOL CGridCtrl::DeleteNonFixedRows() {
  m_prevSelectedCells.clear();
  m_prevSelectedRows.clear();
  EndEditing();
  ResetSelectedRange();
  const BOOL redraw = SetRedraw(FALSE);
  for (int r = GetRowCount(FALSE) - 1; r >= m_fixedRows; --r) DeleteRow(r);
  if (m_hWnd != nullptr) {
    SetScrollPos32(SB_VERT, 0);
    SetScrollPos32(SB_HORZ, 0);
  }
  SetRedraw(redraw, TRUE);
  return TRUE;
}

BOOL CGridCtrl::SwapRows(int a, int b) {
  if (a < 0 || b < 0 || a >= m_rows || b >= m_rows) return FALSE;
  if (a == b) return TRUE;
  std::swap(m_cells[static_cast<size_t>(a)], m_cells[static_cast<size_t>(b)]);
  std::swap(m_rowInfo[static_cast<size_t>(a)].height, m_rowInfo[static_cast<size_t>(b)].height);
  COleVariant data = m_rowInfo[static_cast<size_t>(a)].rowData;
  m_rowInfo[static_cast<size_t>(a)].rowData = m_rowInfo[static_cast<size_t>(b)].rowData;
  m_rowInfo[static_cast<size_t>(b)].rowData = data;
  auto swapRow = [a, b](int r) { return r == a ? b : r == b ? a : r; };
  auto swapCells = [&](std::set<CellID>& cells) {
    std::set<CellID> moved;
    for (CellID id : cells) {
      id.row = swapRow(id.row);
      moved.insert(id);
    }
    cells.swap(moved);
  };
  auto swapRows = [&](std::set<int>& rows) {
    std::set<int> moved;
    for (int r : rows) moved.insert(swapRow(r));
    rows.swap(moved);
  };
  swapCells(m_selectedCells);
  swapCells(m_prevSelectedCells);
  swapRows(m_selectedRows);
  swapRows(m_prevSelectedRows);
  m_focus.row = m_focus.row >= 0 ? swapRow(m_focus.row) : m_focus.row;
  if (m_redraw && m_hWnd != nullptr) Invalidate();
  return TRUE;
}

void CGridCtrl::SetRowData(int row, const VARIANT* data) {
  if (row < 0 || row >= m_rows) return;
  if (data != nullptr)
    m_rowInfo[static_cast<size_t>(row)].rowData = *data;
  else
    m_rowInfo[static_cast<size_t>(row)].rowData.Clear();
}

COleVariant CGridCtrl::GetRowData(int row) const {
  if (row < 0 || row >= m_rows) return COleVariant();
  return m_rowInfo[static_cast<size_t>(row)].rowData;
}

void CGridCtrl::OnDestroy() {
  m_redraw = FALSE;
  EndEditing();
  for (int r = 0; r < m_rows; ++r) {
    SendGridNotify(GN_DELETEROW, r, -1);
    OnRowDeleting(r);
    DestroyRowCells(r);
  }
  m_selectedCells.clear();
  m_prevSelectedCells.clear();
  Default();
}
