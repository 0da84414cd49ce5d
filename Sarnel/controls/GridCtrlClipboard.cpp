// CGridCtrl: cell text on the clipboard, clearing, pasting and sorting rows.
#include "GridCtrl.h"

#include "GridTextDataObject.h"

#include <cstring>
#include <vector>

CString CGridCtrl::GetSelectedText() const {
  const CellRange range = GetSelectedCellRange();
  if (!IsValid(range)) return CString();
  CString text;
  for (int r = range.minRow; r <= range.maxRow; ++r) {
    for (int c = range.minCol; c <= range.maxCol; ++c) {
      const GridCell* cell = GetCell(r, c);
      if (cell != nullptr && (cell->state & GVIS_SELECTED))
        text += cell->text.IsEmpty() ? CString(" ") : cell->text;
      if (c != range.maxCol) text += "\t";
    }
    if (r != range.maxRow) text += "\n";
  }
  return text;
}

IDataObject* CGridCtrl::CopyTextFromGrid() {
  if (!IsValid(GetSelectedCellRange())) return nullptr;
  const CString text = GetSelectedText();
  CSharedFile file(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, 4096);
  file.Write(static_cast<LPCTSTR>(text), static_cast<UINT>(text.GetLength()) + 1);
  HGLOBAL block = file.Detach();
  if (block == nullptr) return nullptr;
  return new GridTextDataObject(block);
}

void CGridCtrl::OnEditCopy() {
  IDataObject* data = CopyTextFromGrid();
  if (data == nullptr) return;
  ::OleSetClipboard(data);
  data->Release();
}

BOOL CGridCtrl::OnEditCut() {
  if (!m_editable) return FALSE;
  IDataObject* data = CopyTextFromGrid();
  if (data == nullptr) return FALSE;
  ::OleSetClipboard(data);
  data->Release();
  return ClearSelectedCells();
}

BOOL CGridCtrl::ClearSelectedCells() {
  if (!m_editable) return FALSE;
  const std::set<CellID> cells = m_selectedCells;
  for (const CellID& id : cells) {
    if (!IsCellEditable(id.row, id.col)) continue;
    SendGridNotify(GN_BEGINEDIT, id.row, id.col);
    ClearCell(GetCell(id.row, id.col), id.row, id.col);
    SetModified(TRUE, id.row, id.col);
    SendGridNotify(GN_ENDEDIT, id.row, id.col);
  }
  if (m_hWnd != nullptr) Invalidate();
  return TRUE;
}

void CGridCtrl::OnEditPaste() {
  if (!m_editable) return;
  CellID cell = m_focus;
  if (!IsValid(cell.row, cell.col)) cell = GetTopleftNonFixedCell();
  if (!IsValid(cell.row, cell.col)) return;
  IDataObject* data = nullptr;
  if (FAILED(::OleGetClipboard(&data)) || data == nullptr) return;
  PasteTextToGrid(cell, data);
  data->Release();
}

BOOL CGridCtrl::PasteTextToGrid(CellID cell, IDataObject* data) {
  if (data == nullptr || !IsValid(cell.row, cell.col) || !IsCellEditable(cell.row, cell.col)) return FALSE;
  FORMATETC format{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (FAILED(data->GetData(&format, &medium))) return FALSE;
  CString text;
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != nullptr) {
    // the block's size bounds the text: a missing terminator does not run past it
    const SIZE_T size = ::GlobalSize(medium.hGlobal);
    const char* bytes = static_cast<const char*>(::GlobalLock(medium.hGlobal));
    if (bytes != nullptr) {
      SIZE_T length = 0;
      while (length < size && bytes[length] != '\0') ++length;
      text = CString(bytes, static_cast<int>(length));
      ::GlobalUnlock(medium.hGlobal);
    }
  }
  ::ReleaseStgMedium(&medium);
  return PasteText(cell, text);
}

BOOL CGridCtrl::PasteText(CellID cell, const char* text) {
  if (!IsValid(cell.row, cell.col) || !IsCellEditable(cell.row, cell.col) || text == nullptr) return FALSE;
  std::vector<std::string> lines;
  std::string all(text);
  size_t start = 0;
  for (;;) {
    const size_t end = all.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(all.substr(start));
      break;
    }
    std::string line = all.substr(start, end - start);
    lines.push_back(line.empty() ? std::string(" ") : line);
    start = end + 1;
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    std::vector<char> buffer(lines[i].begin(), lines[i].end());
    buffer.push_back('\0');
    char* context = nullptr;
    int k = 0;
    for (char* token = strtok_r(buffer.data(), "\t,\n", &context); token != nullptr;
         token = strtok_r(nullptr, "\t,\n", &context), ++k) {
      const int row = cell.row + static_cast<int>(i), col = cell.col + k;
      if (GetCell(row, col) == nullptr) continue;
      CString value(token);
      value.TrimLeft();
      value.TrimRight();
      SendGridNotify(GN_BEGINEDIT, row, col);
      SetItemText(row, col, value);
      SetModified(TRUE, row, col);
      SendGridNotify(GN_ENDEDIT, row, col);
      SetItemState(row, col, GetItemState(row, col) & ~GVIS_SELECTED);
    }
  }
  if (m_hWnd != nullptr) Invalidate();
  return TRUE;
}

// ---- sorting

BOOL CGridCtrl::SortByColumn(int col, BOOL ascending) {
  m_sortColumn = col;
  m_sortAscending = ascending;
  return SortRows(col, ascending, m_fixedRows, -1);
}

BOOL CGridCtrl::SortRows(int col, BOOL ascending, int low, int high) {
  if (col >= m_cols) return FALSE;
  if (high == -1) high = GetRowCount(FALSE);
  if (low < 0) low = 0;
  SendGridNotify(GN_SORTBEGIN, -1, col);
  const int n = high - low;
  for (int gap = n / 2; gap > 0; gap /= 2) {
    for (int i = gap; i < n; ++i) {
      for (int j = i - gap; j >= 0; j -= gap) {
        const int cmp = CompareRows(low + j, low + j + gap, col);
        if (ascending ? cmp > 0 : cmp < 0)
          SwapRows(low + j, low + j + gap);
        else
          break;
      }
    }
  }
  SendGridNotify(GN_SORTEND, -1, col);
  return TRUE;
}

int CGridCtrl::CompareCells(int a, int b, int col) {
  auto bytes = [](const CString& x, const CString& y) {
    const int r = strcmp(static_cast<LPCTSTR>(x), static_cast<LPCTSTR>(y));
    return r < 0 ? -1 : r > 0 ? 1 : 0;
  };
  const int type = GetColumnType(col);
  switch (type) {
    case gctText:
    case gctString:
      return bytes(GetItemTextUpper(a, col), GetItemTextUpper(b, col));
    case gctPickList: {
      const GridCellRow list = GetColumnPickList(col);
      return bytes(list.TextOf(GetItemValue(a, col)), list.TextOf(GetItemValue(b, col)));
    }
    case gctInteger:
    case gctReal:
    case gctDate:
    case gctCurrency: {
      COleVariant va, vb;
      TextToValue(type, GetItemText(a, col), va);
      TextToValue(type, GetItemText(b, col), vb);
      if (va.vt == VT_EMPTY || vb.vt == VT_EMPTY) return va.vt == vb.vt ? 0 : va.vt == VT_EMPTY ? -1 : 1;
      double x = 0, y = 0;
      if (type == gctInteger) {
        x = va.lVal;
        y = vb.lVal;
      } else if (type == gctCurrency) {
        return va.cyVal.int64 < vb.cyVal.int64 ? -1 : va.cyVal.int64 > vb.cyVal.int64 ? 1 : 0;
      } else {
        x = type == gctReal ? va.dblVal : va.date;
        y = type == gctReal ? vb.dblVal : vb.date;
      }
      return x < y ? -1 : x > y ? 1 : 0;
    }
    default:
      return 0;
  }
}

int CGridCtrl::CompareRows(int a, int b, int col) {
  int result = col >= 0 && col < m_cols ? CompareCells(a, b, col) : 0;
  for (int c = m_fixedCols; result == 0 && c < m_cols; ++c) result = CompareCells(a, b, c);
  if (result != 0) return result;
  return a < b ? -1 : a > b ? 1 : 0;
}
