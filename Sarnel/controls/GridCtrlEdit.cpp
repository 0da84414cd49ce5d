// CGridCtrl: in-place editing, check and toggle cells, and storing an editor's result.
#include "GridCtrl.h"

#include "GridCurrencyEdit.h"
#include "GridDateEdit.h"
#include "GridListEdit.h"
#include "GridTextEdit.h"

namespace {

// The boolean of a check or toggle value; `unconvertible` when the value is no boolean.
bool BoolOf(const VARIANT& value, bool unconvertible) {
  if (value.vt == VT_BOOL) return value.boolVal != VARIANT_FALSE;
  VARIANT b;
  VariantInit(&b);
  if (FAILED(VariantChangeType(&b, const_cast<VARIANT*>(&value), 0, VT_BOOL))) return unconvertible;
  return b.boolVal != VARIANT_FALSE;
}

}  // namespace

BOOL CGridCtrl::IsCellEditable(int row, int col) const { return m_editable && !IsItemReadOnly(row, col); }

BOOL CGridCtrl::EditFocusCell() {
  if (!IsValid(m_focus.row, m_focus.col)) return FALSE;
  BeginEdit(m_focus.row, m_focus.col, 0);
  return TRUE;
}

BOOL CGridCtrl::IsEditorActive() {
  if (m_hWnd == nullptr) return FALSE;
  HWND focus = ::GetFocus();
  if (focus == nullptr || focus == m_hWnd) return FALSE;
  return ::GetWindow(focus, GW_OWNER) == m_hWnd || ::GetParent(focus) == m_hWnd;
}

void CGridCtrl::EndEditing() {
  if (!IsEditorActive()) return;
  HWND editor = ::GetFocus();
  // Taking the focus makes the editor report its result now; then it goes.
  ::SetFocus(m_hWnd);
  if (::IsWindow(editor)) ::DestroyWindow(editor);
}

void CGridCtrl::BeginEdit(int row, int col, UINT c) {
  EnsureVisible(row, col);
  if (!IsValid(row, col) || GetCell(row, col) == nullptr || !IsCellEditable(row, col) ||
      !IsCellVisible(row, col))
    return;
  RECT rect;
  if (!GetCellRect(row, col, &rect)) return;
  if (!(m_gridLines & 2)) ++rect.right;
  if (!(m_gridLines & 1)) ++rect.bottom;
  const GridCell* cell = GetCell(row, col);
  const CString text = GetItemText(row, col);
  const COleVariant value = GetItemValue(row, col);
  const UINT format = cell->format;
  const int type = cell->type;
  const bool click = c == 1 || c == 32;
  switch (type) {
    case gctAction:
      if (click) SendGridNotify(GN_BEGINEDIT, row, col);
      return;
    case gctCheck: {
      if (value.vt == VT_EMPTY || !click) return;
      SendGridNotify(GN_BEGINEDIT, row, col);
      COleVariant next(static_cast<short>(BoolOf(value, false) ? VARIANT_FALSE : VARIANT_TRUE), VT_BOOL);
      SetItemValue(row, col, &next);
      SetModified(TRUE, row, col);
      SendGridNotify(GN_ENDEDIT, row, col);
      InvalidateCellRect(row, col);
      return;
    }
    case gctToggle: {
      if (value.vt == VT_EMPTY) return;
      const bool present = BoolOf(value, true);
      bool wanted = present;
      if (click)
        wanted = !present;
      else if (c == '+')
        wanted = true;
      else if (c == '-')
        wanted = false;
      else
        return;
      if (wanted == present) return;
      SendGridNotify(GN_BEGINEDIT, row, col);
      COleVariant next(static_cast<short>(wanted ? VARIANT_TRUE : VARIANT_FALSE), VT_BOOL);
      SetItemValue(row, col, &next);
      SetModified(TRUE, row, col);
      SendGridNotify(GN_ENDEDIT, row, col);
      InvalidateCellRect(row, col);
      return;
    }
    default:
      break;
  }
  const DWORD style = (format & DT_RIGHT) ? ES_RIGHT : (format & DT_CENTER) ? ES_CENTER : ES_LEFT;
  SendGridNotify(GN_BEGINEDIT, row, col);
  if (type == gctPickList) {
    if (!click) return;
    auto* editor = new CGridListEdit(row, col, rect, CGridListEdit::ValueMode, GetColumnPickList(col));
    if (!editor->Start(this, value, text)) delete editor;
    return;
  }
  if (type == gctDate) {
    COleDateTime date;
    date.SetStatus(COleDateTime::null);
    if (value.vt != VT_EMPTY) {
      COleVariant d;
      try {
        d.ChangeType(VT_DATE, const_cast<COleVariant*>(&value));
        date = COleDateTime(d.date);
      } catch (...) {
        date.SetStatus(COleDateTime::invalid);
      }
    }
    auto* editor = new CGridDateEdit(row, col, rect, date);
    if (!editor->Start(this, style, c)) delete editor;
    return;
  }
  if (type == gctCurrency) {
    COleCurrency amount;
    amount.SetStatus(COleCurrency::null);
    if (value.vt != VT_EMPTY) {
      COleVariant a;
      try {
        a.ChangeType(VT_CY, const_cast<COleVariant*>(&value));
        amount.m_cur = a.cyVal;
        amount.SetStatus(COleCurrency::valid);
      } catch (...) {
        amount.SetStatus(COleCurrency::invalid);
      }
    }
    auto* editor = new CGridCurrencyEdit(row, col, rect, amount);
    if (!editor->Start(this, style, c)) delete editor;
    return;
  }
  const int filter = type == gctInteger ? CGridTextEdit::IntegerFilter
                     : type == gctReal  ? CGridTextEdit::DecimalFilter
                                        : CGridTextEdit::NoFilter;
  const GridCellRow list = GetColumnPickList(col);
  if (click && list.GetCount() > 0 && (::GetKeyState(VK_CONTROL) & 0x8000)) {
    auto* editor = new CGridListEdit(row, col, rect, CGridListEdit::TextMode, list);
    if (!editor->Start(this, value, text)) delete editor;
    return;
  }
  CString shown = text;
  shown.Replace('\r', GRID_RETURN_MARK);
  auto* editor = new CGridTextEdit(row, col, rect, filter, type == gctString);
  if (!editor->Start(this, style, shown, c)) delete editor;
}

void CGridCtrl::OnEndEditText(int row, int col, LPCTSTR text) {
  if (GetItemText(row, col) == CString(text)) return;
  SetModified(TRUE, row, col);
  SetItemText(row, col, text);
}

void CGridCtrl::OnEndEditValue(int row, int col, const VARIANT* value) {
  const COleVariant present = GetItemValue(row, col);
  if (value != nullptr && GridValuesEqual(present, *value)) return;
  SetModified(TRUE, row, col);
  SetItemValue(row, col, value);
}

BOOL CGridCtrl::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
  if (wParam == GRID_EDITOR_ID && hdr != nullptr && static_cast<int>(hdr->code) == GN_ENDEDIT) {
    try {
      HandleEditorEnd(*reinterpret_cast<const GridEditNotify*>(lParam));
    } catch (...) {
      // nothing may unwind through the editor's window procedure
    }
    if (result != nullptr) *result = 0;
    return TRUE;
  }
  return CWnd::OnNotify(wParam, lParam, result);
}

void CGridCtrl::HandleEditorEnd(const GridEditNotify& r) {
  if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) return;
  const GridItem& item = r.item;
  const int row = item.row, col = item.col;
  BOOL changed = FALSE;
  if (item.mask & GVIF_VALUE) {
    changed = !GridValuesEqual(GetItemValue(row, col), item.value);
    OnEndEditValue(row, col, &item.value);
  }
  if (item.mask & GVIF_TEXT) {
    if (!changed) changed = GetItemText(row, col) != item.text;
    OnEndEditText(row, col, item.noText ? nullptr : static_cast<LPCTSTR>(item.text));
  }
  InvalidateCellRect(row, col);
  SendGridNotify(GN_ENDEDIT, row, col);
  if (changed && m_newRowLine && row == m_rows - 1) SetRowCount(GetRowCount(TRUE));

  const UINT key = static_cast<UINT>(item.userValue);
  if (!(key == VK_TAB || key == 10 || (key >= 33 && key <= 40))) return;
  const BOOL shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
  HandleKey(key, shift, FALSE);
  UINT repeatKey = 0;
  switch (key) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
      repeatKey = key;
      break;
    case 10:
    case VK_END:
      repeatKey = VK_RIGHT;
      break;
    case VK_HOME:
      repeatKey = VK_LEFT;
      break;
    default:
      break;
  }
  while (repeatKey != 0 && IsValid(m_focus.row, m_focus.col) && IsItemReadOnly(m_focus.row, m_focus.col)) {
    const CellID before = m_focus;
    HandleKey(repeatKey, shift, FALSE);
    if (m_focus == before) break;
  }
  if (IsValid(m_focus.row, m_focus.col) && !IsItemReadOnly(m_focus.row, m_focus.col))
    BeginEdit(m_focus.row, m_focus.col, key);
}
