// Printing the grid: pages of whole rows under a header and the column headings, with a footer.
#include "GridCtrl.h"

#include <algorithm>
#include <ctime>

namespace {

void PrintLine(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
  HPEN pen = ::CreatePen(PS_SOLID, 0, colour);
  HGDIOBJ old = ::SelectObject(dc, pen);
  ::MoveToEx(dc, x0, y0, nullptr);
  ::LineTo(dc, x1, y1);
  ::SelectObject(dc, old);
  ::DeleteObject(pen);
}

// The nearest ancestor window that has a text: the grid's dialog or frame, as the page's title.
CString AncestorText(HWND hWnd) {
  for (HWND parent = ::GetParent(hWnd); parent != nullptr; parent = ::GetParent(parent)) {
    char text[256] = {};
    if (::GetWindowTextA(parent, text, sizeof(text)) > 0) return text;
  }
  return CString();
}

}  // namespace

std::vector<int> CGridCtrl::PrintPageStarts() const {
  std::vector<int> starts;
  int used = 0;
  for (int row = m_fixedRows; row < m_rows; ++row) {
    const int height = GetRowHeight(row);
    // A row taller than a whole page still gets a page of its own.
    if (starts.empty() || (used + height > m_printRowsHeight && used > 0)) {
      starts.push_back(row);
      used = 0;
    }
    used += height;
  }
  return starts;
}

void CGridCtrl::OnBeginPrinting(CDC* dc, CPrintInfo* info) {
  if (m_rows <= m_fixedRows || dc == nullptr || info == nullptr) return;
  HDC hdc = dc->GetSafeHdc();
  if (m_printFont != nullptr) ::DeleteObject(m_printFont);
  m_printFont =
      ::CreateFontA(-9, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Times New Roman");
  HGDIOBJ old = ::SelectObject(hdc, m_printFont);
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(hdc, &metrics);
  static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ";
  SIZE extent{0, 0};
  ::GetTextExtentPoint32A(hdc, letters, 52, &extent);
  ::SelectObject(hdc, old);
  m_printCharHeight = metrics.tmHeight;
  m_printCharWidth = std::max(1, static_cast<int>(extent.cx / 52));
  int columns = 0;
  for (int col = 0; col < m_cols; ++col) columns += GetColumnWidth(col);
  m_printerPageWidth = std::max(1, ::GetDeviceCaps(hdc, HORZRES));
  m_printerPageHeight = std::max(1, ::GetDeviceCaps(hdc, VERTRES));
  m_logicalPageWidth = columns + 8 * m_printCharWidth;
  m_logicalPageHeight = ::MulDiv(m_logicalPageWidth, m_printerPageHeight, m_printerPageWidth);
  m_printRowsHeight = m_logicalPageHeight - 6 * m_printCharHeight - GetFixedRowHeight();
  info->SetMaxPage(static_cast<UINT>(PrintPageStarts().size()));
  info->m_nCurPage = 1;
}

void CGridCtrl::OnPrint(CDC* dc, CPrintInfo* info) {
  if (m_printFont == nullptr || dc == nullptr || info == nullptr) return;
  HDC hdc = dc->GetSafeHdc();
  const BOOL wasPrinting = dc->m_bPrinting;
  dc->m_bPrinting = TRUE;
  const int saved = ::SaveDC(hdc);
  HGDIOBJ oldFont = ::SelectObject(hdc, m_printFont);
  ::SetMapMode(hdc, MM_ANISOTROPIC);
  ::SetWindowExtEx(hdc, m_logicalPageWidth, m_logicalPageHeight, nullptr);
  ::SetViewportExtEx(hdc, m_printerPageWidth, m_printerPageHeight, nullptr);
  const int left = -4 * m_printCharWidth;
  ::SetWindowOrgEx(hdc, left, 0, nullptr);

  info->m_rectDraw = CRect(0, 0, m_logicalPageWidth - 8 * m_printCharWidth, 2 * m_printCharHeight);
  PrintHeader(dc, info);
  int top = 3 * m_printCharHeight;
  ::SetWindowOrgEx(hdc, left, -top, nullptr);

  info->m_rectDraw.bottom = GetFixedRowHeight();
  PrintColumnHeadings(dc, info);
  top += GetFixedRowHeight();
  ::SetWindowOrgEx(hdc, left, -top, nullptr);

  const std::vector<int> starts = PrintPageStarts();
  const size_t page = info->m_nCurPage;
  if (page >= 1 && page <= starts.size()) {
    const int first = starts[page - 1];
    const int end = page < starts.size() ? starts[page] : m_rows;
    int y = 0;
    for (int row = first; row < end; ++row) {
      const int height = GetRowHeight(row);
      int x = 0;
      for (int col = 0; col < m_cols; ++col) {
        const int width = GetColumnWidth(col);
        RECT rect{x + 1, y, x + width - 1, y + height - 1};
        if (!(m_gridLines & 2)) ++rect.right;
        if (!(m_gridLines & 1)) ++rect.bottom;
        DrawCell(dc, row, col, rect, FALSE);
        if (m_gridLines & 1) PrintLine(hdc, x, y + height - 1, x + width, y + height - 1, m_gridLineColour);
        if (m_gridLines & 2) PrintLine(hdc, x + width - 1, y, x + width - 1, y + height, m_gridLineColour);
        if (col == 0 && (m_gridLines & 2)) PrintLine(hdc, x, y, x, y + height, m_gridLineColour);
        if (row == m_fixedRows && (m_gridLines & 1)) PrintLine(hdc, x, y, x + width, y, m_gridLineColour);
        x += width;
      }
      y += height;
    }
  }

  info->m_rectDraw = CRect(0, 0, m_logicalPageWidth - 8 * m_printCharWidth, 2 * m_printCharHeight);
  ::SetWindowOrgEx(hdc, left, 2 * m_printCharHeight - m_logicalPageHeight, nullptr);
  PrintFooter(dc, info);
  ::SetWindowOrgEx(hdc, 0, 0, nullptr);
  ::SelectObject(hdc, oldFont);
  ::RestoreDC(hdc, saved);
  dc->m_bPrinting = wasPrinting;
}

void CGridCtrl::OnEndPrinting(CDC*, CPrintInfo*) {
  if (m_printFont != nullptr) ::DeleteObject(m_printFont);
  m_printFont = nullptr;
}

void CGridCtrl::PrintColumnHeadings(CDC* dc, CPrintInfo*) {
  HDC hdc = dc->GetSafeHdc();
  HGDIOBJ oldFont = ::SelectObject(hdc, m_printFont);
  int y = 0;
  for (int row = 0; row < m_fixedRows; ++row) {
    const int height = GetRowHeight(row);
    int x = 0;
    for (int col = 0; col < m_cols; ++col) {
      const int width = GetColumnWidth(col);
      RECT rect{x, y, x + width - 1, y + height - 1};
      DrawFixedCell(dc, row, col, rect, FALSE);
      if (m_gridLines & 1) PrintLine(hdc, x, y + height - 1, x + width, y + height - 1, m_gridLineColour);
      if (m_gridLines & 2) PrintLine(hdc, x + width - 1, y, x + width - 1, y + height, m_gridLineColour);
      if (row == 0) PrintLine(hdc, x, y, x + width, y, m_gridLineColour);
      if (col == 0) PrintLine(hdc, x, y, x, y + height, m_gridLineColour);
      x += width;
    }
    y += height;
  }
  ::SelectObject(hdc, oldFont);
}

void CGridCtrl::PrintHeader(CDC* dc, CPrintInfo* info) {
  HDC hdc = dc->GetSafeHdc();
  LOGFONTA bold = m_logFont;
  bold.lfWeight = FW_BOLD;
  HFONT font = ::CreateFontIndirectA(&bold);
  HGDIOBJ oldFont = ::SelectObject(hdc, font);
  const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
  RECT rect = info->m_rectDraw;
  CString title;
  title.LoadString(AFX_IDS_APP_TITLE);
  ::DrawTextA(hdc, title, title.GetLength(), &rect, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  const CString caption = AncestorText(m_hWnd);
  ::DrawTextA(hdc, caption, caption.GetLength(), &rect, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  PrintLine(hdc, rect.left, rect.bottom, rect.right, rect.bottom, RGB(0, 0, 0));
  ::SetBkMode(hdc, oldMode);
  ::SelectObject(hdc, oldFont);
  ::DeleteObject(font);
}

void CGridCtrl::PrintFooter(CDC* dc, CPrintInfo* info) {
  HDC hdc = dc->GetSafeHdc();
  RECT rect = info->m_rectDraw;
  PrintLine(hdc, rect.left, rect.top, rect.right, rect.top, RGB(0, 0, 0));
  LOGFONTA bold = m_logFont;
  bold.lfWeight = FW_BOLD;
  HFONT font = ::CreateFontIndirectA(&bold);
  HGDIOBJ oldFont = ::SelectObject(hdc, font);
  const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
  ::OffsetRect(&rect, 0, m_printCharHeight / 2);
  CString page;
  page.Format("Page %d of %d", static_cast<int>(info->m_nCurPage), static_cast<int>(info->GetMaxPage()));
  ::DrawTextA(hdc, page, page.GetLength(), &rect, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  char when[128] = {};
  const time_t now = time(nullptr);
  strftime(when, sizeof(when), "%c", localtime(&now));
  ::DrawTextA(hdc, when, -1, &rect, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
  ::SetBkMode(hdc, oldMode);
  ::SelectObject(hdc, oldFont);
  ::DeleteObject(font);
}

CImageList* CGridCtrl::CreateDragImage(SIZE* size) {
  RECT cell{};
  if (m_hWnd == nullptr || !GetCellRect(m_focus.row, m_focus.col, &cell)) return nullptr;
  const int width = cell.right - cell.left + 1;
  const int height = cell.bottom - cell.top + 1;
  HDC window = ::GetDC(m_hWnd);
  if (window == nullptr) return nullptr;
  CImageList* images = nullptr;
  CDC memory;
  CBitmap bitmap;
  if (memory.Attach(::CreateCompatibleDC(window)) &&
      bitmap.Attach(::CreateCompatibleBitmap(window, width, height))) {
    HGDIOBJ old = ::SelectObject(memory.GetSafeHdc(), bitmap.GetSafeHandle());
    // What the cell leaves unpainted is the mask colour, so it stays see-through.
    HBRUSH background = ::CreateSolidBrush(GetBkColour());
    RECT all{0, 0, width, height};
    ::FillRect(memory.GetSafeHdc(), &all, background);
    ::DeleteObject(background);
    DrawCell(&memory, m_focus.row, m_focus.col, RECT{0, 0, width - 1, height - 1}, TRUE);
    ::SelectObject(memory.GetSafeHdc(), old);
    images = new CImageList;
    if (!images->Create(width, height, ILC_COLORDDB | ILC_MASK, 1, 1) ||
        images->Add(&bitmap, GetBkColour()) < 0) {
      delete images;
      images = nullptr;
    }
  }
  ::ReleaseDC(m_hWnd, window);
  if (images != nullptr && size != nullptr) *size = SIZE{width, height};
  return images;
}
