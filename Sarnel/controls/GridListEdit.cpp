#include "GridListEdit.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CGridListEdit, CPickListCtl)
  ON_WM_KEYDOWN()
  ON_WM_CHAR()
  ON_WM_GETDLGCODE()
  ON_WM_KILLFOCUS()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CGridListEdit::CGridListEdit(int row, int col, const RECT& cellRect, Mode mode, const GridCellRow& list)
    : m_row(row), m_col(col), m_cellRect(cellRect), m_mode(mode), m_list(list) {}

BOOL CGridListEdit::Start(CWnd* grid, const VARIANT& value, const CString& text) {
  m_grid = AfxSafeHwnd(grid);
  m_hidden =
      ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 0, 0, m_grid,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(GRID_EDITOR_ID)), nullptr, nullptr);
  if (m_hidden == nullptr) return FALSE;
  const int count = m_list.GetCount();
  for (int i = 0; i < count && m_startIndex < 0; ++i) {
    if (m_mode == ValueMode ? GridValuesEqual(m_list[i].value, value) : m_list[i].text == text)
      m_startIndex = i;
  }
  HFONT font = reinterpret_cast<HFONT>(grid->SendMessage(WM_GETFONT));
  HDC dc = ::GetDC(m_grid);
  HGDIOBJ old = ::SelectObject(dc, font);
  SIZE blank{0, 0};
  ::GetTextExtentPoint32A(dc, " ", 1, &blank);
  LONG widest = 0;
  for (int i = 0; i < count; ++i) {
    SIZE size{0, 0};
    ::GetTextExtentPoint32A(dc, m_list[i].text, m_list[i].text.GetLength(), &size);
    widest = std::max(widest, size.cx);
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(m_grid, dc);
  const int cellHeight = m_cellRect.bottom - m_cellRect.top + 1;
  const int width = std::max<int>(m_cellRect.right - m_cellRect.left + 1,
                                  widest + ::GetSystemMetrics(SM_CXVSCROLL) + 2 * blank.cx);
  POINT topLeft{m_cellRect.left, m_cellRect.bottom};
  ::ClientToScreen(m_grid, &topLeft);
  const CRect popup(topLeft, CSize(width, 4 * cellHeight));
  if (!Create(0, WS_POPUP | WS_VISIBLE | WS_BORDER | DropDownStyle, popup, grid, 0)) {
    ::DestroyWindow(m_hidden);
    m_hidden = nullptr;
    return FALSE;
  }
  SetRedrawFlag(false);
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  for (int i = 0; i < count; ++i) {
    AddItem(m_list[i].text, false, i == m_startIndex);
    SetItemValue(i, m_mode == ValueMode ? m_list[i].value : COleVariant(m_list[i].text));
  }
  SetRedrawFlag(true);
  UpdateScrollBar();
  if (m_startIndex >= 0) EnsureVisible(m_startIndex);
  Invalidate(TRUE);
  SetFocus();
  return TRUE;
}

void CGridListEdit::EndWithKey(UINT key) {
  m_endKey = key;
  ::SetFocus(m_grid);
}

void CGridListEdit::ItemClicked(int) { EndWithKey(VK_RETURN); }
void CGridListEdit::ItemDblClicked(int) { EndWithKey(VK_RETURN); }

UINT CGridListEdit::OnGetDlgCode() { return DLGC_WANTALLKEYS; }

// The pick list's own paging only scrolls; in the editor a page moves the selection.
void CGridListEdit::MoveSelection(int by) {
  if (GetCount() == 0) return;
  const int from = GetCurSel() >= 0 ? GetCurSel() : (by > 0 ? -1 : GetCount());
  const int to = std::clamp(from + by, 0, GetCount() - 1);
  SetCurSel(to);
  EnsureVisible(to);
}

void CGridListEdit::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  const BOOL ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
  const bool paging = key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN;
  if (key == VK_LEFT || key == VK_RIGHT || (ctrl && paging)) {
    EndWithKey(key);
    return;
  }
  if (key == VK_PRIOR || key == VK_NEXT) {
    const int page = std::max(1, GetVisibleRows() - 1);
    MoveSelection(key == VK_NEXT ? page : -page);
    return;
  }
  CPickListCtl::OnKeyDown(key, repeat, flags);
}

void CGridListEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
  if (ch == VK_TAB || ch == 10 || ch == VK_RETURN) {
    EndWithKey(ch);
    return;
  }
  if (ch == VK_ESCAPE) {
    if (m_startIndex >= 0) SetCurSel(m_startIndex);
    m_escaped = true;  // also when nothing was selected at the start
    EndWithKey(ch);
    return;
  }
  CPickListCtl::OnChar(ch, repeat, flags);
}

void CGridListEdit::OnKillFocus(CWnd* next) {
  CPickListCtl::OnKillFocus(next);
  Report();
  if (::IsWindow(m_hWnd)) PostMessage(WM_CLOSE);
}

void CGridListEdit::Report() {
  if (m_reported) return;
  m_reported = TRUE;
  const int selected = m_escaped ? m_startIndex : GetCurSel();
  GridEditNotify record{};
  record.hdr.hwndFrom = m_hidden;
  record.hdr.idFrom = GRID_EDITOR_ID;
  record.hdr.code = static_cast<UINT>(GN_ENDEDIT);
  record.item.row = m_row;
  record.item.col = m_col;
  record.item.userValue = static_cast<int>(m_endKey);
  const VARIANT& value = GetItemValue(selected);
  if (m_mode == ValueMode) {
    record.item.mask = GVIF_VALUE | GVIF_USERVALUE;
    record.item.value = value;
  } else {
    record.item.mask = GVIF_TEXT | GVIF_USERVALUE;
    record.item.noText = value.vt != VT_BSTR || value.bstrVal == nullptr;
    if (!record.item.noText) record.item.text = CString(value.bstrVal);
  }
  if (::IsWindow(m_grid))
    ::SendMessageA(m_grid, WM_NOTIFY, GRID_EDITOR_ID, reinterpret_cast<LPARAM>(&record));
}

void CGridListEdit::OnDestroy() {
  if (m_hidden != nullptr && ::IsWindow(m_hidden)) ::DestroyWindow(m_hidden);
  m_hidden = nullptr;
  CPickListCtl::OnDestroy();
}

void CGridListEdit::PostNcDestroy() { delete this; }
