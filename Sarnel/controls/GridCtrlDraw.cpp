// CGridCtrl: geometry, painting, fonts, colours and scrolling.
#include "GridCtrl.h"

#include <algorithm>

namespace {

// Draws into a memory bitmap of the target rectangle and copies it back in one BitBlt.
class GridOffscreen {
 public:
  GridOffscreen(HDC target, const RECT& rect) : m_target(target), m_rect(rect) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0) return;
    m_dc = ::CreateCompatibleDC(target);
    m_bitmap = ::CreateCompatibleBitmap(target, w, h);
    if (m_dc == nullptr || m_bitmap == nullptr) return;
    m_old = ::SelectObject(m_dc, m_bitmap);
    ::SetWindowOrgEx(m_dc, rect.left, rect.top, nullptr);
    m_ok = true;
  }
  ~GridOffscreen() {
    if (m_ok) {
      ::BitBlt(m_target, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top,
               m_dc, m_rect.left, m_rect.top, SRCCOPY);
      ::SelectObject(m_dc, m_old);
    }
    if (m_bitmap != nullptr) ::DeleteObject(m_bitmap);
    if (m_dc != nullptr) ::DeleteDC(m_dc);
  }
  HDC Dc() const { return m_ok ? m_dc : m_target; }

 private:
  HDC m_target;
  RECT m_rect;
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
  bool m_ok = false;
};

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  const COLORREF old = ::SetBkColor(dc, colour);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  ::SetBkColor(dc, old);
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
  HPEN pen = ::CreatePen(PS_SOLID, 1, colour);
  HGDIOBJ old = ::SelectObject(dc, pen);
  ::MoveToEx(dc, x0, y0, nullptr);
  ::LineTo(dc, x1, y1);
  ::SelectObject(dc, old);
  ::DeleteObject(pen);
}

void Frame(HDC dc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = ::CreateSolidBrush(colour);
  ::FrameRect(dc, &rect, brush);
  ::DeleteObject(brush);
}

}  // namespace

SIZE CGridCtrl::GetBoxSize() {
  const LONG units = ::GetDialogBaseUnits();
  const int baseX = LOWORD(units), baseY = HIWORD(units);
  SIZE box{static_cast<LONG>(baseX * 1.2), static_cast<LONG>(baseY * 0.6)};
  if (box.cx % 2 == 0) {
    ++box.cx;
    ++box.cy;
  }
  return box;
}

// ---- sizes

int CGridCtrl::GetRowHeight(int row) const {
  return row >= 0 && row < m_rows ? m_rowInfo[static_cast<size_t>(row)].height : -1;
}

BOOL CGridCtrl::SetRowHeight(int row, int height) {
  if (row < 0 || row >= m_rows || height < 0) return FALSE;
  m_rowInfo[static_cast<size_t>(row)].height = height;
  ResetScrollBars();
  if (m_redraw && m_hWnd != nullptr) Invalidate();
  return TRUE;
}

int CGridCtrl::GetColumnWidth(int col) const {
  return col >= 0 && col < m_cols ? m_colInfo[static_cast<size_t>(col)].width : -1;
}

BOOL CGridCtrl::SetColumnWidth(int col, int width) {
  if (col < 0 || col >= m_cols || width < 0) return FALSE;
  m_colInfo[static_cast<size_t>(col)].width = width;
  ResetScrollBars();
  if (m_redraw && m_hWnd != nullptr) Invalidate();
  return TRUE;
}

int CGridCtrl::GetFixedRowHeight() const {
  int h = 0;
  for (int r = 0; r < m_fixedRows; ++r) h += GetRowHeight(r);
  return h;
}

int CGridCtrl::GetFixedColumnWidth() const {
  int w = 0;
  for (int c = 0; c < m_fixedCols; ++c) w += GetColumnWidth(c);
  return w;
}

int CGridCtrl::GetVirtualHeight() const {
  int h = 0;
  for (const GridRowInfo& info : m_rowInfo) h += info.height;
  return h;
}

int CGridCtrl::GetVirtualWidth() const {
  int w = 0;
  for (const GridColumnInfo& info : m_colInfo) w += info.width;
  return w;
}

BOOL CGridCtrl::AutoSizeColumn(int col, int minWidth) {
  if (col < 0 || col >= m_cols || m_hWnd == nullptr) return FALSE;
  HDC hdc = ::GetDC(m_hWnd);
  if (hdc == nullptr) return FALSE;
  int width = minWidth;
  for (int r = 0; r < m_rows; ++r)
    width = std::max<int>(width, GetCellExtent(r, col, CDC::FromHandle(hdc)).cx);
  ::ReleaseDC(m_hWnd, hdc);
  m_colInfo[static_cast<size_t>(col)].width = width + 2;
  ResetScrollBars();
  return TRUE;
}

BOOL CGridCtrl::AutoSizeRow(int row, int minHeight) {
  if (row < 0 || row >= m_rows || m_hWnd == nullptr) return FALSE;
  HDC hdc = ::GetDC(m_hWnd);
  if (hdc == nullptr) return FALSE;
  int height = minHeight;
  for (int c = 0; c < m_cols; ++c)
    height = std::max<int>(height, GetCellExtent(row, c, CDC::FromHandle(hdc)).cy);
  ::ReleaseDC(m_hWnd, hdc);
  m_rowInfo[static_cast<size_t>(row)].height = height + 2;
  ResetScrollBars();
  return TRUE;
}

SIZE CGridCtrl::GetCellExtent(int row, int col, CDC* dc) {
  SIZE size{0, 0};
  const GridCell* cell = GetCell(row, col);
  if (cell == nullptr || dc == nullptr) return size;
  HDC hdc = AfxSafeHdc(dc);
  LOGFONTA font = cell->font;
  if (row < m_fixedRows || col < m_fixedCols) font.lfWeight = 600;
  HFONT hFont = ::CreateFontIndirectA(&font);
  HGDIOBJ old = ::SelectObject(hdc, hFont);
  RECT text{0, 0, 0, 0};
  ::DrawTextA(hdc, cell->text.GetLength() > 0 ? static_cast<LPCTSTR>(cell->text) : " ", -1, &text,
              DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
  ::SelectObject(hdc, old);
  ::DeleteObject(hFont);
  const SIZE box = GetBoxSize();
  size.cx = std::max<LONG>(text.right - text.left, box.cx) + 2 * m_margin;
  size.cy = std::max<LONG>(text.bottom - text.top, box.cy) + 2 * m_margin;
  if (cell->type == gctCheck || cell->type == gctToggle) {
    size.cx += box.cx;
    size.cy += box.cy;
  }
  if (cell->image >= 0 && m_imageList != nullptr) {
    int w = 0, h = 0;
    ::ImageList_GetIconSize(m_imageList, &w, &h);
    size.cx += m_margin + w;
    size.cy = std::max<LONG>(size.cy, h);
  }
  return size;
}

BOOL CGridCtrl::SetStretchColumn(int col) {
  if (col == -1) col = m_cols - 1;
  if (col < 0 || col >= m_cols) return FALSE;
  m_stretchMode = 1;
  m_stretchColumn = col;
  ExpandColumns();
  if (m_redraw && m_hWnd != nullptr) Invalidate();
  return TRUE;
}

BOOL CGridCtrl::SetStretchAllColumns() {
  for (int c = m_fixedCols; c < m_cols; ++c)
    m_colInfo[static_cast<size_t>(c)].stretchWeight = m_colInfo[static_cast<size_t>(c)].width;
  m_stretchMode = 2;
  ExpandColumns();
  if (m_redraw && m_hWnd != nullptr) Invalidate();
  return TRUE;
}

void CGridCtrl::ExpandColumns() {
  if (m_stretchMode == 0 || m_hWnd == nullptr) return;
  RECT client;
  GetClientRect(&client);
  int available = client.right - GetFixedColumnWidth();
  if (m_stretchMode == 1) {
    if (m_stretchColumn >= m_fixedCols && m_stretchColumn < m_cols) {
      for (int c = m_fixedCols; c < m_cols; ++c)
        if (c != m_stretchColumn) available -= GetColumnWidth(c);
      if (available > 0) m_colInfo[static_cast<size_t>(m_stretchColumn)].width = available;
    }
  } else {
    unsigned weights = 0;
    for (int c = m_fixedCols; c < m_cols; ++c)
      weights += static_cast<unsigned>(m_colInfo[static_cast<size_t>(c)].stretchWeight);
    unsigned rest = available > 0 ? static_cast<unsigned>(available) : 0u;
    for (int c = m_fixedCols; c < m_cols; ++c) {
      GridColumnInfo& info = m_colInfo[static_cast<size_t>(c)];
      if (weights != 0) {
        const unsigned width = static_cast<unsigned>(static_cast<unsigned long long>(rest) *
                                                     static_cast<unsigned>(info.stretchWeight) / weights);
        info.width = static_cast<int>(width);
        rest -= width;
        weights -= static_cast<unsigned>(info.stretchWeight);
      } else {
        info.width = static_cast<int>(rest);
        rest = 0;
      }
    }
  }
  ResetScrollBars();
}

// ---- geometry

CellID CGridCtrl::GetTopleftNonFixedCell() const {
  CellID cell(m_fixedRows, m_fixedCols);
  if (m_hWnd != nullptr) {
    const int hPos = ::GetScrollPos(m_hWnd, SB_HORZ), vPos = ::GetScrollPos(m_hWnd, SB_VERT);
    int sum = 0;
    while (sum < hPos && cell.col < m_cols - 1) sum += GetColumnWidth(cell.col++);
    sum = 0;
    while (sum < vPos && cell.row < m_rows - 1) sum += GetRowHeight(cell.row++);
  }
  while (cell.col < m_cols - 1 && GetColumnWidth(cell.col) == 0) ++cell.col;
  while (cell.row < m_rows - 1 && GetRowHeight(cell.row) == 0) ++cell.row;
  return cell;
}

CellRange CGridCtrl::GetVisibleNonFixedCellRange(RECT* rect) const {
  RECT client{0, 0, 0, 0};
  if (m_hWnd != nullptr) ::GetClientRect(m_hWnd, &client);
  const CellID topLeft = GetTopleftNonFixedCell();
  int bottom = GetFixedRowHeight(), row = topLeft.row;
  int maxRow = topLeft.row - 1;
  for (; row < m_rows; ++row) {
    bottom += GetRowHeight(row);
    maxRow = row;
    if (bottom >= client.bottom) break;
  }
  int right = GetFixedColumnWidth(), col = topLeft.col;
  int maxCol = topLeft.col - 1;
  for (; col < m_cols; ++col) {
    right += GetColumnWidth(col);
    maxCol = col;
    if (right >= client.right) break;
  }
  if (rect != nullptr) {
    rect->left = 0;
    rect->top = 0;
    rect->right = std::min<LONG>(right, client.right);
    rect->bottom = std::min<LONG>(bottom, client.bottom);
  }
  return CellRange(topLeft.row, topLeft.col, maxRow, maxCol);
}

BOOL CGridCtrl::IsValid(const CellRange& r) const {
  return r.minRow >= 0 && r.minCol >= 0 && r.maxRow >= 0 && r.maxCol >= 0 && r.maxRow < m_rows &&
         r.maxCol < m_cols && r.minRow <= r.maxRow && r.minCol <= r.maxCol;
}

BOOL CGridCtrl::GetCellOrigin(int row, int col, POINT* point) const {
  if (!IsValid(row, col) || point == nullptr) return FALSE;
  const CellID topLeft = GetTopleftNonFixedCell();
  if ((row >= m_fixedRows && row < topLeft.row) || (col >= m_fixedCols && col < topLeft.col)) return FALSE;
  int x = 0, y = 0;
  if (col < m_fixedCols) {
    for (int c = 0; c < col; ++c) x += GetColumnWidth(c);
  } else {
    x = GetFixedColumnWidth();
    for (int c = topLeft.col; c < col; ++c) x += GetColumnWidth(c);
  }
  if (row < m_fixedRows) {
    for (int r = 0; r < row; ++r) y += GetRowHeight(r);
  } else {
    y = GetFixedRowHeight();
    for (int r = topLeft.row; r < row; ++r) y += GetRowHeight(r);
  }
  point->x = x;
  point->y = y;
  return TRUE;
}

BOOL CGridCtrl::GetCellRect(int row, int col, RECT* rect) const {
  POINT origin;
  if (rect == nullptr || !GetCellOrigin(row, col, &origin)) return FALSE;
  rect->left = origin.x;
  rect->top = origin.y;
  rect->right = origin.x + GetColumnWidth(col) - 1;
  rect->bottom = origin.y + GetRowHeight(row) - 1;
  return TRUE;
}

BOOL CGridCtrl::GetCellRangeRect(const CellRange& range, RECT* rect) const {
  POINT a, b;
  if (rect == nullptr || !GetCellOrigin(range.minRow, range.minCol, &a) ||
      !GetCellOrigin(range.maxRow, range.maxCol, &b))
    return FALSE;
  rect->left = a.x;
  rect->top = a.y;
  rect->right = b.x + GetColumnWidth(range.maxCol);
  rect->bottom = b.y + GetRowHeight(range.maxRow);
  return TRUE;
}

BOOL CGridCtrl::GetTextRect(const CellID& id, RECT* rect) const {
  if (!GetCellRect(id.row, id.col, rect)) return FALSE;
  rect->left += m_margin;
  const GridCell* cell = GetCell(id.row, id.col);
  if (cell != nullptr && cell->image >= 0 && m_imageList != nullptr) {
    int w = 0, h = 0;
    ::ImageList_GetIconSize(m_imageList, &w, &h);
    rect->left += w;
  }
  return TRUE;
}

CellID CGridCtrl::GetCellFromPt(POINT p, BOOL allowFixed) const {
  CellID cell;
  const CellID topLeft = GetTopleftNonFixedCell();
  const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
  if (p.x >= 0) {
    if (p.x < fixedW) {
      if (allowFixed) {
        int x = 0;
        for (int c = 0; c < m_fixedCols; ++c) {
          x += GetColumnWidth(c);
          if (x > p.x) {
            cell.col = c;
            break;
          }
        }
      }
    } else {
      int x = fixedW;
      int zeroNear = -1;
      for (int c = topLeft.col; c < m_cols; ++c) {
        const int w = GetColumnWidth(c);
        if (w == 0 && x <= p.x && p.x - x < m_resizeCapture) zeroNear = c;
        x += w;
        if (x > p.x) {
          cell.col = c;
          break;
        }
      }
      if (cell.col < 0) cell.col = zeroNear;
    }
  }
  if (p.y >= 0) {
    if (p.y < fixedH) {
      if (allowFixed) {
        int y = 0;
        for (int r = 0; r < m_fixedRows; ++r) {
          y += GetRowHeight(r);
          if (y > p.y) {
            cell.row = r;
            break;
          }
        }
      }
    } else {
      int y = fixedH;
      for (int r = topLeft.row; r < m_rows; ++r) {
        y += GetRowHeight(r);
        if (y > p.y) {
          cell.row = r;
          break;
        }
      }
    }
  }
  return cell;
}

BOOL CGridCtrl::IsCellVisible(int row, int col) const {
  if (m_hWnd == nullptr) return FALSE;
  RECT rect;
  if (!GetCellRect(row, col, &rect)) return FALSE;
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  int slack = m_defaultRowHeight / 5;
  if (slack == 0) slack = HIWORD(::GetDialogBaseUnits()) * 2 / 8;
  return rect.left <= client.right && rect.top <= client.bottom && rect.bottom <= client.bottom + slack;
}

void CGridCtrl::EnsureVisible(int row, int col) {
  if (m_hWnd == nullptr || !IsValid(row, col)) return;
  const BOOL wasRedraw = m_redraw;
  m_redraw = FALSE;
  for (int guard = 0; guard < m_rows + m_cols + 2 && !IsCellVisible(row, col); ++guard) {
    const CellRange before = GetVisibleNonFixedCellRange();
    if (col >= m_fixedCols && col > before.maxCol)
      SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
    else if (col >= m_fixedCols && col < before.minCol)
      SendMessage(WM_HSCROLL, SB_LINELEFT, 0);
    if (row >= m_fixedRows && row > before.maxRow)
      SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    else if (row >= m_fixedRows && row < before.minRow)
      SendMessage(WM_VSCROLL, SB_LINEUP, 0);
    if (GetVisibleNonFixedCellRange() == before) break;
  }
  RECT rect, client;
  GetClientRect(&client);
  if (GetCellRect(row, col, &rect)) {
    if (rect.right > client.right && col >= m_fixedCols) SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
    if (rect.bottom > client.bottom && row >= m_fixedRows) SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
  }
  m_redraw = wasRedraw;
  if (m_redraw) Invalidate();
}

// ---- redraw

BOOL CGridCtrl::SetRedraw(BOOL allow, BOOL resetScrollBars) {
  const BOOL previous = m_redraw;
  m_redraw = allow;
  if (allow && m_hWnd != nullptr) {
    if (resetScrollBars) ResetScrollBars();
    Invalidate();
  }
  return previous;
}

void CGridCtrl::InvalidateCell(int row, int col) {
  if (!m_redraw || m_hWnd == nullptr || !IsValid(row, col) || !IsCellVisible(row, col)) return;
  RECT rect;
  if (!GetCellRect(row, col, &rect)) return;
  ++rect.right;
  ++rect.bottom;
  ::InvalidateRect(m_hWnd, &rect, TRUE);
}

void CGridCtrl::InvalidateCellRect(int row, int col) {
  if (!m_redraw || m_hWnd == nullptr) return;
  RECT rect;
  if (!GetCellRect(row, col, &rect)) return;
  if (!(m_gridLines & 1)) ++rect.bottom;
  if (!(m_gridLines & 2)) ++rect.right;
  ++rect.right;
  ++rect.bottom;
  ::InvalidateRect(m_hWnd, &rect, FALSE);
}

void CGridCtrl::InvalidateRow(int row) {
  for (int c = 0; c < m_cols; ++c) InvalidateCellRect(row, c);
}

BOOL CGridCtrl::RedrawCell(int row, int col, CDC* dc) {
  if (!m_redraw || m_hWnd == nullptr || !IsCellVisible(row, col)) return FALSE;
  RECT rect;
  if (!GetCellRect(row, col, &rect)) return FALSE;
  if (dc == nullptr) {
    HDC hdc = ::GetDC(m_hWnd);
    if (hdc == nullptr) {
      InvalidateCell(row, col);
      return FALSE;
    }
    BOOL result;
    if (m_doubleBuffer) {
      RECT area = rect;
      area.right += 2;
      area.bottom += 2;
      GridOffscreen off(hdc, area);
      result = RedrawCell(row, col, CDC::FromHandle(off.Dc()));
    } else {
      result = RedrawCell(row, col, CDC::FromHandle(hdc));
    }
    ::ReleaseDC(m_hWnd, hdc);
    return result;
  }
  if (row < m_fixedRows || col < m_fixedCols) return DrawFixedCell(dc, row, col, rect, TRUE);
  RECT inner = rect;
  if (!(m_gridLines & 1)) ++inner.bottom;
  if (!(m_gridLines & 2)) ++inner.right;
  const BOOL result = DrawCell(dc, row, col, inner, TRUE);
  HDC hdc = AfxSafeHdc(dc);
  if (m_gridLines & 1) Line(hdc, rect.left, rect.bottom, rect.right + 1, rect.bottom, m_gridLineColour);
  if (m_gridLines & 2) Line(hdc, rect.right, rect.top, rect.right, rect.bottom + 1, m_gridLineColour);
  return result;
}

BOOL CGridCtrl::RedrawRow(int row, CDC* dc) {
  BOOL all = TRUE;
  for (int c = 0; c < m_cols; ++c) all = RedrawCell(row, c, dc) && all;
  return all;
}

// ---- colours and fonts

void CGridCtrl::SetDefaultColours() {
  m_textColour = ::GetSysColor(COLOR_WINDOWTEXT);
  m_disabledTextColour = ::GetSysColor(COLOR_GRAYTEXT);
  m_bkColour = ::GetSysColor(COLOR_WINDOW);
  m_disabledBkColour = ::GetSysColor(COLOR_BTNFACE);
  m_outsideColour = ::GetSysColor(COLOR_BTNFACE);
  m_fixedTextColour = ::GetSysColor(COLOR_WINDOWTEXT);
  m_disabledFixedTextColour = ::GetSysColor(COLOR_GRAYTEXT);
  m_fixedBkColour = ::GetSysColor(COLOR_BTNFACE);
  m_gridLineColour = ::GetSysColor(COLOR_BTNFACE);
}

COLORREF CGridCtrl::GetTextColour() const {
  return m_hWnd != nullptr && !::IsWindowEnabled(m_hWnd) ? m_disabledTextColour : m_textColour;
}
COLORREF CGridCtrl::GetBkColour() const {
  return m_hWnd != nullptr && !::IsWindowEnabled(m_hWnd) ? m_disabledBkColour : m_bkColour;
}
COLORREF CGridCtrl::GetFixedTextColour() const {
  return m_hWnd != nullptr && !::IsWindowEnabled(m_hWnd) ? m_disabledFixedTextColour : m_fixedTextColour;
}

void CGridCtrl::SetGridLines(int lines) {
  m_gridLines = lines;
  if (m_redraw && m_hWnd != nullptr) Invalidate();
}

void CGridCtrl::OnSysColorChange() {
  Default();
  SetDefaultColours();
  Invalidate();
}

void CGridCtrl::OnEnable(BOOL) { ::InvalidateRect(m_hWnd, nullptr, FALSE); }

void CGridCtrl::ApplyFont(const LOGFONTA& font) {
  m_logFont = font;
  for (auto& cells : m_cells)
    for (GridCell* cell : cells)
      if (cell != nullptr) cell->font = font;
  if (m_gridFont != nullptr) ::DeleteObject(m_gridFont);
  m_gridFont = ::CreateFontIndirectA(&m_logFont);
  if (m_hWnd == nullptr) return;
  HDC hdc = ::GetDC(m_hWnd);
  if (hdc != nullptr) {
    HGDIOBJ old = ::SelectObject(hdc, m_gridFont);
    SIZE blank{0, 0};
    ::GetTextExtentPoint32A(hdc, " ", 1, &blank);
    TEXTMETRICA tm{};
    ::GetTextMetricsA(hdc, &tm);
    ::SelectObject(hdc, old);
    ::ReleaseDC(m_hWnd, hdc);
    const int baseY = HIWORD(::GetDialogBaseUnits());
    m_margin = blank.cx;
    m_defaultRowHeight = tm.tmHeight + tm.tmExternalLeading + baseY * 3 / 8;
    m_defaultColWidth = 2 * (m_margin + 8 * tm.tmAveCharWidth);
  }
  Invalidate();
}

LRESULT CGridCtrl::OnSetFontMessage(WPARAM wParam, LPARAM) {
  Default();
  LOGFONTA font;
  if (wParam == 0 || ::GetObjectA(reinterpret_cast<HFONT>(wParam), sizeof(font), &font) == 0) return 0;
  ApplyFont(font);
  return 0;
}

LRESULT CGridCtrl::OnGetFontMessage(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_gridFont); }

// ---- painting

BOOL CGridCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CGridCtrl::OnPaint() {
  PAINTSTRUCT ps;
  HDC hdc = ::BeginPaint(m_hWnd, &ps);
  if (hdc != nullptr) {
    if (m_doubleBuffer) {
      GridOffscreen off(hdc, ps.rcPaint);
      OnDraw(CDC::FromHandle(off.Dc()));
    } else {
      OnDraw(CDC::FromHandle(hdc));
    }
  }
  ::EndPaint(m_hWnd, &ps);
}

BOOL CGridCtrl::OnDraw(CDC* dc) {
  HDC hdc = AfxSafeHdc(dc);
  RECT clip;
  if (::GetClipBox(hdc, &clip) == ERROR) return FALSE;
  RECT client;
  GetClientRect(&client);
  RECT visibleRect;
  const CellRange visible = GetVisibleNonFixedCellRange(&visibleRect);
  const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
  RECT area = client;
  if (!m_belowRowsBackground) area.bottom = std::max<LONG>(visibleRect.bottom, fixedH);

  Fill(
      hdc,
      RECT{clip.left, clip.top, std::min<LONG>(clip.right, fixedW), std::min<LONG>(clip.bottom, area.bottom)},
      GetFixedBkColour());
  Fill(hdc,
       RECT{std::max<LONG>(clip.left, fixedW - 1), clip.top, clip.right, std::min<LONG>(clip.bottom, fixedH)},
       GetFixedBkColour());
  Fill(hdc,
       RECT{std::max<LONG>(clip.left, fixedW), std::max<LONG>(clip.top, fixedH), clip.right,
            std::min<LONG>(clip.bottom, area.bottom)},
       GetBkColour());
  Fill(hdc, RECT{clip.left, std::max<LONG>(clip.top, area.bottom), clip.right, clip.bottom},
       GetOutsideColour());

  const COLORREF shadow = ::GetSysColor(COLOR_3DDKSHADOW);
  int y = 0;
  for (int r = 0; r < m_fixedRows; ++r) {
    y += GetRowHeight(r);
    if (GetRowHeight(r) > 0) Line(hdc, 0, y - 1, client.right, y - 1, shadow);
  }
  int x = 0;
  for (int c = 0; c < m_fixedCols; ++c) {
    x += GetColumnWidth(c);
    if (GetColumnWidth(c) > 0) Line(hdc, x - 1, 0, x - 1, client.bottom, shadow);
  }

  auto meets = [&](const RECT& r) {
    return r.right >= clip.left && r.left <= clip.right && r.bottom >= clip.top && r.top <= clip.bottom;
  };
  RECT rect;
  for (int r = 0; r < m_rows; ++r) {
    if (r >= m_fixedRows && (r < visible.minRow || r > visible.maxRow)) continue;
    for (int c = 0; c < m_cols; ++c) {
      if (c >= m_fixedCols && (c < visible.minCol || c > visible.maxCol)) continue;
      if (!GetCellRect(r, c, &rect) || rect.right < rect.left || rect.bottom < rect.top) continue;
      if (GetRowHeight(r) == 0 || GetColumnWidth(c) == 0 || !meets(rect)) continue;
      if (r < m_fixedRows || c < m_fixedCols) {
        DrawFixedCell(dc, r, c, rect, FALSE);
      } else {
        if (!(m_gridLines & 1)) ++rect.bottom;
        if (!(m_gridLines & 2)) ++rect.right;
        DrawCell(dc, r, c, rect, FALSE);
      }
    }
  }

  const int bottom = visibleRect.bottom, right = visibleRect.right;
  if (m_gridLines & 2) {
    x = fixedW;
    for (int c = visible.minCol; c <= visible.maxCol && c < m_cols; ++c) {
      x += GetColumnWidth(c);
      if (GetColumnWidth(c) > 0) Line(hdc, x - 1, fixedH, x - 1, bottom, m_gridLineColour);
    }
  }
  if (m_gridLines & 1) {
    y = fixedH;
    for (int r = visible.minRow; r <= visible.maxRow && r < m_rows; ++r) {
      y += GetRowHeight(r);
      if (GetRowHeight(r) > 0) Line(hdc, fixedW - 1, y - 1, right, y - 1, m_gridLineColour);
    }
  }
  return TRUE;
}

void CGridCtrl::DrawImage(HDC dc, RECT& rect, const GridCell& cell) {
  if (cell.image < 0 || m_imageList == nullptr) return;
  int w = 0, h = 0;
  ::ImageList_GetIconSize(m_imageList, &w, &h);
  ::ImageList_Draw(m_imageList, cell.image, dc, rect.left + m_margin / 2,
                   rect.top + (rect.bottom - rect.top - h) / 2, ILD_NORMAL);
  rect.left += w + m_margin;
}

void CGridCtrl::DrawCellText(HDC dc, RECT rect, const GridCell& cell, UINT extraFlags) {
  UINT format = cell.format | extraFlags;
  if (cell.ellipsis == 1)
    format |= DT_END_ELLIPSIS;
  else if (cell.ellipsis == 2)
    format |= DT_PATH_ELLIPSIS;
  ::SetBkMode(dc, TRANSPARENT);
  ::DrawTextA(dc, cell.text, cell.text.GetLength(), &rect, format);
}

BOOL CGridCtrl::DrawFixedCell(CDC* dc, int row, int col, RECT rect, BOOL) {
  if (!m_redraw) return FALSE;
  const GridCell* cell = GetCell(row, col);
  if (cell == nullptr) return FALSE;
  HDC hdc = AfxSafeHdc(dc);
  if (!dc->IsPrinting())
    Fill(hdc, rect, cell->bkColour != GRID_DEFAULT_COLOUR ? cell->bkColour : GetFixedBkColour());
  ::SetTextColor(hdc, cell->fgColour != GRID_DEFAULT_COLOUR ? cell->fgColour : GetFixedTextColour());
  HFONT font = ::CreateFontIndirectA(&cell->font);
  HGDIOBJ oldFont = ::SelectObject(hdc, font);
  const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), dark = ::GetSysColor(COLOR_3DDKSHADOW);
  Line(hdc, rect.right, rect.top, rect.left, rect.top, light);
  Line(hdc, rect.left, rect.top, rect.left, rect.bottom, light);
  Line(hdc, rect.right, rect.top, rect.right, rect.bottom, dark);
  Line(hdc, rect.right, rect.bottom, rect.left, rect.bottom, dark);
  ::InflateRect(&rect, -1, -1);
  DrawImage(hdc, rect, *cell);
  rect.left += m_margin;
  rect.right -= m_margin;
  DrawCellText(hdc, rect, *cell, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
  ::SelectObject(hdc, oldFont);
  ::DeleteObject(font);
  return TRUE;
}

BOOL CGridCtrl::HasFocusOrEditor() {
  return m_hWnd != nullptr && (::GetFocus() == m_hWnd || IsEditorActive());
}

void CGridCtrl::DrawCheckBox(HDC dc, const RECT& rect, const GridCell& cell, BOOL hasText) {
  const SIZE box = GetBoxSize();
  const BOOL enabled = ::IsWindowEnabled(m_hWnd);
  const int x = hasText ? rect.left + m_margin : rect.left + (rect.right - box.cx - rect.left) / 2 - 1;
  const int y = rect.top + (rect.bottom - rect.top - box.cy) / 2;
  RECT r{x, y, x + box.cx + 1, y + box.cy + 1};
  Fill(dc, r, enabled ? RGB(255, 255, 255) : m_disabledBkColour);
  const COLORREF ink = enabled ? RGB(0, 0, 0) : m_disabledTextColour;
  Frame(dc, r, ink);
  BOOL on = FALSE;
  if (cell.value.vt == VT_BOOL) {
    on = cell.value.boolVal != VARIANT_FALSE;
  } else {
    VARIANT b;
    VariantInit(&b);
    if (SUCCEEDED(VariantChangeType(&b, const_cast<COleVariant*>(&cell.value), 0, VT_BOOL)))
      on = b.boolVal != VARIANT_FALSE;
  }
  const int left = r.left + 1, top = r.top + 1, right = r.right - 1, bottom = r.bottom - 1;
  const int midY = (top + bottom) / 2, midX = (left + right) / 2;
  if (cell.type == gctCheck) {
    if (on) {
      const int h = bottom - top;
      for (int s = 0; s < 3; ++s) {
        const int y0 = bottom - h / 3 - 1 - s;
        Line(dc, left + 1, y0, left + (right - left) / 3 + 1, bottom - 2 - s, ink);
        Line(dc, left + (right - left) / 3 + 1, bottom - 2 - s, right, top - s + 1, ink);
      }
      Line(dc, right, top, right, bottom, ink);
    }
  } else {
    Line(dc, left + 2, midY, right - 2, midY, ink);
    if (!on) Line(dc, midX, top + 2, midX, bottom - 2, ink);
  }
}

BOOL CGridCtrl::DrawCell(CDC* dc, int row, int col, RECT rect, BOOL) {
  if (!m_redraw) return FALSE;
  const GridCell* cell = GetCell(row, col);
  if (cell == nullptr) return FALSE;
  HDC hdc = AfxSafeHdc(dc);
  const BOOL printing = dc->IsPrinting();
  COLORREF text = cell->fgColour != GRID_DEFAULT_COLOUR ? cell->fgColour : GetTextColour();
  const COLORREF back = cell->bkColour != GRID_DEFAULT_COLOUR ? cell->bkColour : GetBkColour();
  if (m_hWnd == nullptr || ::IsWindowEnabled(m_hWnd)) {
    const BOOL selected = (m_listMode && IsRowSelected(row)) || (cell->state & GVIS_SELECTED);
    if (HasFocusOrEditor() && !m_noFocusFrame && (cell->state & GVIS_FOCUSED) &&
        !(cell->state & GVIS_NOFOCUSFRAME) && !printing) {
      Fill(hdc, rect, back);
      RECT frame{rect.left, rect.top, rect.right, rect.bottom};
      Frame(hdc, frame, RGB(0, 0, 0));
    } else if (!m_noHighlight && selected && !(cell->state & GVIS_NOHIGHLIGHT) && !printing) {
      Fill(hdc, rect, ::GetSysColor(COLOR_HIGHLIGHT));
      text = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else {
      Fill(hdc, rect, back);
    }
  } else {
    Fill(hdc, rect, m_disabledBkColour);
    text = m_disabledTextColour;
  }
  if ((cell->state & GVIS_FRAMED) && !printing) Frame(hdc, rect, RGB(0, 0, 0));
  ::SetTextColor(hdc, text);
  HFONT font = ::CreateFontIndirectA(&cell->font);
  HGDIOBJ oldFont = ::SelectObject(hdc, font);
  if (cell->type == gctAction) {
    RECT inner{rect.left + m_margin, rect.top, rect.right - m_margin, rect.bottom};
    DrawCellText(hdc, inner, *cell, DT_EDITCONTROL | DT_NOPREFIX);
    GridDrawCellNotify record{};
    record.hdr.hwndFrom = m_hWnd;
    record.hdr.idFrom = m_hWnd != nullptr ? static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd)) : 0;
    record.hdr.code = static_cast<UINT>(GN_DRAWCELL);
    record.row = row;
    record.col = col;
    record.hDC = hdc;
    record.rect = inner;
    if (HWND receiver = Receiver())
      ::SendMessageA(receiver, WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
  } else {
    if (cell->type == gctCheck || cell->type == gctToggle) {
      if (cell->value.vt != VT_EMPTY) DrawCheckBox(hdc, rect, *cell, !cell->text.IsEmpty());
      rect.left += GetBoxSize().cx + 2 * m_margin;
    }
    DrawImage(hdc, rect, *cell);
    rect.left += m_margin;
    rect.right -= m_margin;
    DrawCellText(hdc, rect, *cell, DT_EDITCONTROL | DT_NOPREFIX);
  }
  ::SelectObject(hdc, oldFont);
  ::DeleteObject(font);
  return TRUE;
}

// ---- scroll bars and scrolling

void CGridCtrl::ResetScrollBars() {
  if (!m_redraw || m_hWnd == nullptr) return;
  RECT client;
  GetClientRect(&client);
  const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
  const int pageW = client.right - fixedW, pageH = client.bottom - fixedH;
  if (pageW <= 0 || pageH <= 0) return;
  const int vh = GetVirtualHeight(), vw = GetVirtualWidth();
  m_vScrollMax = vh - fixedH > pageH ? vh - fixedH - 1 : 0;
  m_hScrollMax = vw - fixedW > pageW ? vw - fixedW - 1 : 0;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMin = 0;
  si.nMax = m_vScrollMax;
  si.nPage = m_vScrollMax != 0 ? static_cast<UINT>(pageH) : 0;
  ::ShowScrollBar(m_hWnd, SB_VERT, m_vScrollMax != 0);
  ::SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
  si.nMax = m_hScrollMax;
  si.nPage = m_hScrollMax != 0 ? static_cast<UINT>(pageW) : 0;
  ::ShowScrollBar(m_hWnd, SB_HORZ, m_hScrollMax != 0);
  ::SetScrollInfo(m_hWnd, SB_HORZ, &si, TRUE);
}

int CGridCtrl::GetScrollPos32(int bar, BOOL tracking) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = tracking ? SIF_TRACKPOS : SIF_POS;
  if (!::GetScrollInfo(m_hWnd, bar, &si)) return 0;
  return tracking ? si.nTrackPos : si.nPos;
}

BOOL CGridCtrl::SetScrollPos32(int bar, int pos, BOOL redraw) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_POS;
  si.nPos = pos;
  ::SetScrollInfo(m_hWnd, bar, &si, redraw);
  return TRUE;
}

void CGridCtrl::ScrollBy(int bar, UINT code) {
  if (::GetFocus() != m_hWnd) EndEditing();
  const bool horz = bar == SB_HORZ;
  const int range = horz ? m_hScrollMax : m_vScrollMax;
  const int pos = GetScrollPos32(bar);
  const CellID topLeft = GetTopleftNonFixedCell();
  RECT client;
  GetClientRect(&client);
  const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
  RECT area{horz ? fixedW : 0, horz ? 0 : fixedH, client.right, client.bottom};
  auto size = [&](int index) { return horz ? GetColumnWidth(index) : GetRowHeight(index); };
  const int first = horz ? m_fixedCols : m_fixedRows;
  const int count = horz ? m_cols : m_rows;
  const int top = horz ? topLeft.col : topLeft.row;
  int newPos = pos;
  switch (code) {
    case SB_LINEDOWN:
      if (pos < range && top < count) newPos = std::min(range, pos + size(top));
      break;
    case SB_LINEUP:
      if (pos > 0 && top > first) {
        int prev = top - 1;
        while (prev > first && size(prev) == 0) --prev;
        newPos = std::max(0, pos - size(prev));
      }
      break;
    case SB_PAGEDOWN:
      newPos = std::min(range, pos + static_cast<int>(horz ? client.right - fixedW : client.bottom - fixedH));
      break;
    case SB_PAGEUP:
      newPos = std::max(0, pos - static_cast<int>(horz ? client.right - fixedW : client.bottom - fixedH));
      break;
    case SB_BOTTOM:
      newPos = range;
      break;
    case SB_TOP:
      newPos = 0;
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      newPos = GetScrollPos32(bar, TRUE);
      break;
    default:
      return;
  }
  if (newPos != pos) {
    SetScrollPos32(bar, newPos);
    if (m_redraw) ::InvalidateRect(m_hWnd, code == SB_TOP || code == SB_BOTTOM ? nullptr : &area, FALSE);
  }
  if (horz) ResetScrollBars();
}

void CGridCtrl::OnHScroll(UINT code, UINT, CScrollBar*) { ScrollBy(SB_HORZ, code); }
void CGridCtrl::OnVScroll(UINT code, UINT, CScrollBar*) { ScrollBy(SB_VERT, code); }

BOOL CGridCtrl::OnMouseWheel(UINT, short delta, CPoint) {
  if (m_wheelLines == -1) {
    const int n = delta / 120;
    for (int i = 0; i < (n > 0 ? n : -n); ++i) PostMessage(WM_VSCROLL, n > 0 ? SB_PAGEUP : SB_PAGEDOWN, 0);
  } else {
    const int n = delta * m_wheelLines / 120;
    for (int i = 0; i < (n > 0 ? n : -n); ++i) PostMessage(WM_VSCROLL, n > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
  }
  return static_cast<BOOL>(Default());
}

void CGridCtrl::OnSize(UINT, int, int) {
  if (m_inSize) return;
  m_inSize = TRUE;
  EndEditing();
  Default();
  ResetScrollBars();
  ExpandColumns();
  m_inSize = FALSE;
}
