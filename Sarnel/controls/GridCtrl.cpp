// CGridCtrl: construction, the cell model, values and notifications.
#include "GridCtrl.h"

#include "LocaleFormat.h"

#include <cmath>
#include <cstdlib>

IMPLEMENT_DYNCREATE(CGridCtrl, CWnd)

BEGIN_MESSAGE_MAP(CGridCtrl, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_ENABLE()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_MOUSEWHEEL()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_MOUSEMOVE()
  ON_WM_TIMER()
  ON_WM_CAPTURECHANGED()
  ON_WM_SETCURSOR()
  ON_WM_KEYDOWN()
  ON_WM_CHAR()
  ON_WM_GETDLGCODE()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_DESTROY()
  ON_MESSAGE(WM_SETFONT, &CGridCtrl::OnSetFontMessage)
  ON_MESSAGE(WM_GETFONT, &CGridCtrl::OnGetFontMessage)
  ON_COMMAND(ID_EDIT_SELECT_ALL, &CGridCtrl::OnEditSelectAll)
  ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, &CGridCtrl::OnUpdateEditSelectAll)
END_MESSAGE_MAP()

BOOL CGridCtrl::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSA existing;
  if (::GetClassInfoA(instance, ClassName, &existing)) return TRUE;
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = ClassName;
  if (!AfxRegisterClass(&wc)) AfxThrowResourceException();
  return TRUE;
}

CGridCtrl::CGridCtrl() {
  SetDefaultColours();
  RegisterWindowClass(::GetModuleHandleA(nullptr));
  ReadWheelScrollLines();
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof(metrics);
  if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
    m_logFont = metrics.lfMessageFont;
  else
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(m_logFont), &m_logFont);
  const HRESULT hr = ::OleInitialize(nullptr);
  if (hr == S_OK) {
    m_initialisedOle = TRUE;
  } else if (hr == S_FALSE) {
    ::OleUninitialize();  // was initialised already: keep the count as it was
  } else {
    AfxPrompt(nullptr, "OLE initialization failed. Make sure that the OLE libraries are the correct version",
              nullptr, MB_OK | MB_ICONSTOP);
  }
}

CGridCtrl::~CGridCtrl() {
  if (m_hWnd != nullptr) DestroyWindow();
  for (int r = 0; r < m_rows; ++r)
    for (GridCell* cell : m_cells[static_cast<size_t>(r)]) delete cell;
  if (m_gridFont != nullptr) ::DeleteObject(m_gridFont);
  if (m_printFont != nullptr) ::DeleteObject(m_printFont);
  if (m_initialisedOle) ::OleUninitialize();
}

BOOL CGridCtrl::Create(const RECT& rect, CWnd* parent, UINT id, DWORD style) {
  return CWnd::Create(ClassName, nullptr, style, rect, parent, id);
}

void CGridCtrl::PreSubclassWindow() {
  CWnd::PreSubclassWindow();
  ApplyFont(m_logFont);
  ResetScrollBars();
}

void CGridCtrl::ReadWheelScrollLines() {
  m_wheelLines = 3;
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return;
  char buffer[128] = {};
  DWORD size = sizeof(buffer) - 1;
  DWORD type = 0;
  if (::RegQueryValueExA(key, "WheelScrollLines", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
          ERROR_SUCCESS &&
      type == REG_SZ)
    m_wheelLines = atoi(buffer);
  ::RegCloseKey(key);
}

// ---- notifications

HWND CGridCtrl::Receiver() const {
  if (m_hWnd == nullptr) return nullptr;
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  return owner != nullptr ? owner : ::GetParent(m_hWnd);
}

BOOL CGridCtrl::NotifyFilter(GridNotify*, LRESULT*) { return TRUE; }

LRESULT CGridCtrl::SendGridNotify(int code, int row, int col, int prevRow, int prevCol) {
  GridNotify record{};
  record.hdr.hwndFrom = m_hWnd;
  record.hdr.idFrom = m_hWnd != nullptr ? static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd)) : 0;
  record.hdr.code = static_cast<UINT>(code);
  record.row = row;
  record.col = col;
  record.prevRow = prevRow;
  record.prevCol = prevCol;
  LRESULT result = 0;
  if (!NotifyFilter(&record, &result)) return result;
  HWND receiver = Receiver();
  if (m_hWnd == nullptr || !::IsWindow(m_hWnd) || receiver == nullptr || !::IsWindow(receiver)) return 0;
  return ::SendMessageA(receiver, WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
}

// ---- cells

GridCell* CGridCtrl::GetCell(int row, int col) const {
  if (!IsValid(row, col)) return nullptr;
  return m_cells[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

BOOL CGridCtrl::SetCell(int row, int col, GridCell* cell) {
  if (!IsValid(row, col)) return FALSE;
  m_cells[static_cast<size_t>(row)][static_cast<size_t>(col)] = cell;
  return TRUE;
}

static void StoreText(GridCell& cell, LPCTSTR text) {
  cell.noText = text == nullptr;
  cell.text = text != nullptr ? text : "";
  cell.text.Replace('\r', GRID_RETURN_MARK);
}

static CString RestoreReturns(const CString& text) {
  CString result = text;
  result.Replace(GRID_RETURN_MARK, '\r');
  return result;
}

static void ApplyItem(GridCell& cell, const GridItem& item) {
  const UINT m = item.mask;
  if (m & GVIF_TEXT) {
    cell.text = item.text;
    cell.text.Replace('\r', GRID_RETURN_MARK);
    cell.noText = item.noText;
  }
  if (m & GVIF_VALUE) cell.value = item.value;
  if (m & GVIF_TYPE) {
    cell.type = item.type;
    cell.typeParam = item.typeParam;
  }
  if (m & GVIF_IMAGE) cell.image = item.image;
  if (m & GVIF_STATE) cell.state = item.state;
  if (m & GVIF_BKCLR) cell.bkColour = item.bkColour;
  if (m & GVIF_FGCLR) cell.fgColour = item.fgColour;
  if (m & GVIF_FORMAT) cell.format = item.format;
  if (m & GVIF_FONT) cell.font = item.font;
  if (m & GVIF_ELLIPSIS) cell.ellipsis = item.ellipsis;
  if (m & GVIF_USERVALUE) cell.userValue = item.userValue;
  if (m & GVIF_AUXVALUE) cell.auxValue = item.auxValue;
}

GridCell* CGridCtrl::CreateCell(int row, int col) {
  GridCell* cell = new GridCell;
  if (row > 0 && row - 1 < m_rows && col < m_cols) {
    if (GridCell* above = m_cells[static_cast<size_t>(row - 1)][static_cast<size_t>(col)])
      cell->format = above->format;
  }
  cell->font = m_logFont;
  if (col >= 0 && col < static_cast<int>(m_colInfo.size()))
    ApplyItem(*cell, m_colInfo[static_cast<size_t>(col)].defaults);
  return cell;
}

void CGridCtrl::DestroyCell(GridCell* cell, int row, int col) {
  if (cell == nullptr) return;
  SendGridNotify(GN_DELETECELL, row, col);
  ClearCell(cell, row, col);
  delete cell;
}

void CGridCtrl::ClearCell(GridCell* cell, int row, int col) {
  if (cell == nullptr) return;
  SetItemState(row, col, 0);
  cell->text.Empty();
}

void CGridCtrl::OnRowDeleting(int) {}

BOOL CGridCtrl::SetItem(const GridItem& item) {
  GridCell* cell = GetCell(item.row, item.col);
  if (cell == nullptr) return FALSE;
  ApplyItem(*cell, item);
  return TRUE;
}

BOOL CGridCtrl::GetItem(GridItem& item, BOOL restoreReturns) const {
  const GridCell* cell = GetCell(item.row, item.col);
  if (cell == nullptr) return FALSE;
  const UINT m = item.mask;
  if (m & GVIF_TEXT) {
    item.text = restoreReturns ? RestoreReturns(cell->text) : cell->text;
    item.noText = cell->noText;
  }
  if (m & GVIF_VALUE) item.value = GetItemValue(item.row, item.col);
  if (m & GVIF_TYPE) {
    item.type = cell->type;
    item.typeParam = cell->typeParam;
  }
  if (m & GVIF_IMAGE) item.image = cell->image;
  if (m & GVIF_STATE) item.state = cell->state;
  if (m & GVIF_BKCLR) item.bkColour = cell->bkColour;
  if (m & GVIF_FGCLR) item.fgColour = cell->fgColour;
  if (m & GVIF_FORMAT) item.format = cell->format;
  if (m & GVIF_FONT) item.font = cell->font;
  if (m & GVIF_ELLIPSIS) item.ellipsis = cell->ellipsis;
  if (m & GVIF_USERVALUE) item.userValue = cell->userValue;
  if (m & GVIF_AUXVALUE) item.auxValue = cell->auxValue;
  return TRUE;
}

CString CGridCtrl::GetItemText(int row, int col) const {
  const GridCell* cell = GetCell(row, col);
  return cell != nullptr ? RestoreReturns(cell->text) : CString();
}

COleVariant CGridCtrl::GetItemValue(int row, int col) const {
  const GridCell* cell = GetCell(row, col);
  return cell != nullptr ? cell->value : COleVariant();
}

CString CGridCtrl::GetItemTextUpper(int row, int col) const {
  CString text = GetItemText(row, col);
  text.MakeUpper();
  return text;
}

void CGridCtrl::TextToValue(int type, const char* text, COleVariant& value) {
  value.Clear();
  if (text == nullptr || *text == '\0') return;
  switch (type) {
    case gctString:
      value = text;
      break;
    case gctInteger:
      value = static_cast<long>(strtol(text, nullptr, 10));
      break;
    case gctReal:
      value = strtod(text, nullptr);
      break;
    case gctDate: {
      const COleDateTime date = ParseDate(text);
      if (date.GetStatus() == COleDateTime::valid) value = COleVariant(date);
      break;
    }
    case gctCurrency: {
      const COleCurrency amount = ParseCurrency(text);
      if (amount.GetStatus() == COleCurrency::valid) value = COleVariant(amount);
      break;
    }
    default:
      break;
  }
}

static CString FormatReal(double v, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > 15) decimals = 15;
  double scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const double scaled = std::floor(std::fabs(v) * scale + 0.5);
  if (!std::isfinite(scaled) || scaled > 9.0e18) return CString();
  const unsigned long long n = static_cast<unsigned long long>(scaled);
  const unsigned long long s = static_cast<unsigned long long>(scale);
  CString text;
  text.Format("%s%llu.", v < 0 ? "-" : "", n / s);
  if (decimals > 0) {
    CString frac;
    frac.Format("%0*llu", decimals, n % s);
    text += frac;
  }
  return text;
}

CString CGridCtrl::ValueToText(int type, int typeParam, const VARIANT& value) {
  try {
    COleVariant v;
    switch (type) {
      case gctString:
        if (value.vt == VT_EMPTY) return CString();
        v.ChangeType(VT_BSTR, const_cast<VARIANT*>(&value));
        return CString(v.bstrVal);
      case gctInteger: {
        if (value.vt == VT_EMPTY) return CString();
        v.ChangeType(VT_I4, const_cast<VARIANT*>(&value));
        CString text;
        text.Format("%ld", static_cast<long>(v.lVal));
        return text;
      }
      case gctReal:
        if (value.vt == VT_EMPTY) return CString();
        v.ChangeType(VT_R8, const_cast<VARIANT*>(&value));
        return FormatReal(v.dblVal, typeParam);
      case gctDate:
        if (value.vt == VT_EMPTY) return CString();
        v.ChangeType(VT_DATE, const_cast<VARIANT*>(&value));
        return FormatDate(COleDateTime(v.date));
      case gctCurrency: {
        if (value.vt == VT_EMPTY) return CString();
        v.ChangeType(VT_CY, const_cast<VARIANT*>(&value));
        COleCurrency amount;
        amount.m_cur = v.cyVal;
        amount.SetStatus(COleCurrency::valid);
        return FormatCurrency(amount);
      }
      default:
        return CString();
    }
  } catch (...) {
    return CString();  // a value that does not convert shows as an empty text
  }
}

BOOL CGridCtrl::SetItemText(int row, int col, LPCTSTR text) {
  GridCell* cell = GetCell(row, col);
  if (cell == nullptr) return FALSE;
  StoreText(*cell, text);
  if (cell->type >= gctString && cell->type <= gctCurrency) TextToValue(cell->type, text, cell->value);
  InvalidateCell(row, col);
  return TRUE;
}

BOOL CGridCtrl::SetItemValue(int row, int col, const VARIANT* value) {
  GridCell* cell = GetCell(row, col);
  if (cell == nullptr) return FALSE;
  if (value != nullptr)
    cell->value = *value;
  else
    cell->value.Clear();
  switch (cell->type) {
    case gctText:
      return TRUE;
    case gctPickList:
      cell->text = GetColumnPickList(col).TextOf(cell->value);
      cell->text.Replace('\r', GRID_RETURN_MARK);
      cell->noText = false;
      break;
    case gctCheck:
    case gctAction:
    case gctToggle:
      break;
    default:
      cell->text = ValueToText(cell->type, cell->typeParam, cell->value);
      cell->text.Replace('\r', GRID_RETURN_MARK);
      cell->noText = false;
      break;
  }
  InvalidateCell(row, col);
  return TRUE;
}

int CGridCtrl::GetItemType(int row, int col) const {
  const GridCell* cell = GetCell(row, col);
  return cell != nullptr ? cell->type : -1;
}

int CGridCtrl::GetItemImage(int row, int col) const {
  const GridCell* cell = GetCell(row, col);
  return cell != nullptr ? cell->image : -1;
}

UINT CGridCtrl::GetItemFormat(int row, int col) const {
  const GridCell* cell = GetCell(row, col);
  return cell != nullptr ? cell->format : 0;
}

int CGridCtrl::GetColumnType(int col) const {
  if (col < 0 || col >= m_cols) return 0;
  const GridItem& defaults = m_colInfo[static_cast<size_t>(col)].defaults;
  return (defaults.mask & GVIF_TYPE) ? defaults.type : 0;
}

BOOL CGridCtrl::SetItemBkColour(int row, int col, COLORREF colour) {
  GridCell* cell = GetCell(row, col);
  if (cell == nullptr) return FALSE;
  cell->bkColour = colour;
  InvalidateCell(row, col);
  return TRUE;
}

BOOL CGridCtrl::SetItemFgColour(int row, int col, COLORREF colour) {
  GridCell* cell = GetCell(row, col);
  if (cell == nullptr) return FALSE;
  cell->fgColour = colour;
  InvalidateCell(row, col);
  return TRUE;
}

BOOL CGridCtrl::SetItemFont(int row, int col, const LOGFONTA* font) {
  GridCell* cell = GetCell(row, col);
  if (cell == nullptr || font == nullptr) return FALSE;
  cell->font = *font;
  InvalidateCell(row, col);
  return TRUE;
}

const LOGFONTA* CGridCtrl::GetItemFont(int row, int col) const {
  const GridCell* cell = GetCell(row, col);
  return cell != nullptr ? &cell->font : &m_logFont;
}

BOOL CGridCtrl::SetItemState(int row, int col, UINT state) {
  GridCell* cell = GetCell(row, col);
  if (cell == nullptr) return FALSE;
  if (state & GVIS_SELECTED)
    m_selectedCells.insert(CellID(row, col));
  else
    m_selectedCells.erase(CellID(row, col));
  cell->state = state;
  InvalidateCell(row, col);
  return TRUE;
}

UINT CGridCtrl::GetItemState(int row, int col) const {
  const GridCell* cell = GetCell(row, col);
  return cell != nullptr ? cell->state : 0;
}

BOOL CGridCtrl::SetItemReadOnly(int row, int col, BOOL readOnly) {
  GridCell* cell = GetCell(row, col);
  if (cell == nullptr) return FALSE;
  if (readOnly)
    cell->state |= GVIS_READONLY;
  else
    cell->state &= ~GVIS_READONLY;
  return TRUE;
}

BOOL CGridCtrl::IsItemReadOnly(int row, int col) const {
  return (GetItemState(row, col) & GVIS_READONLY) != 0;
}

void CGridCtrl::SetModified(BOOL modified, int row, int col) {
  if (row <= 0 || col <= 0) {
    m_modified = modified;
  } else if (GridCell* cell = GetCell(row, col)) {
    if (modified) {
      cell->state |= GVIS_MODIFIED;
      m_modified = TRUE;
    } else {
      cell->state &= ~GVIS_MODIFIED;
    }
  }
  if (!m_modified)
    for (auto& cells : m_cells)
      for (GridCell* cell : cells)
        if (cell != nullptr) cell->state &= ~GVIS_MODIFIED;
}

BOOL CGridCtrl::GetModified(int row, int col) const {
  if (row <= 0 || col <= 0) return m_modified;
  return (GetItemState(row, col) & GVIS_MODIFIED) != 0;
}

void CGridCtrl::SetColumnDefaults(int col, const GridItem& defaults) {
  if (col < 0 || col >= m_cols) return;
  m_colInfo[static_cast<size_t>(col)].defaults = defaults;
}

void CGridCtrl::SetColumnPickList(int col, const GridCellRow& list) {
  if (col < 0 || col >= m_cols) return;
  m_colInfo[static_cast<size_t>(col)].pickList = list;
}

GridCellRow CGridCtrl::GetColumnPickList(int col) const {
  static const GridCellRow empty;
  if (col < 0 || col >= m_cols) return empty;
  return m_colInfo[static_cast<size_t>(col)].pickList;
}
