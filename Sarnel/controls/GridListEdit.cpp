#include "GridListEdit.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CGridListEdit, CWnd)
  ON_WM_KEYDOWN()
  ON_WM_CHAR()
  ON_WM_LBUTTONDOWN()
  ON_WM_GETDLGCODE()
  ON_WM_KILLFOCUS()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CGridListEdit::CGridListEdit(int row, int col, const RECT& cellRect, Mode mode, const GridCellRow& list)
    : m_row(row), m_col(col), m_cellRect(cellRect), m_mode(mode) {
  for (int i = 0; i < list.GetCount(); ++i) {
    GridCellValue entry;
    entry.text = list[i].text;
    if (mode == ValueMode)
      entry.value = list[i].value;
    else
      entry.value = COleVariant(list[i].text);
    m_entries.push_back(entry);
  }
}

BOOL CGridListEdit::Start(CWnd* grid, const VARIANT& value, const CString& text) {
  m_grid = AfxSafeHwnd(grid);
  m_hidden =
      ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 0, 0, m_grid,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(GRID_EDITOR_ID)), nullptr, nullptr);
  if (m_hidden == nullptr) return FALSE;
  for (int i = 0; i < static_cast<int>(m_entries.size()) && m_startIndex < 0; ++i) {
    if (m_mode == ValueMode ? GridValuesEqual(m_entries[static_cast<size_t>(i)].value, value)
                            : m_entries[static_cast<size_t>(i)].text == text)
      m_startIndex = i;
  }
  HFONT font = reinterpret_cast<HFONT>(grid->SendMessage(WM_GETFONT));
  HDC dc = ::GetDC(m_grid);
  HGDIOBJ old = ::SelectObject(dc, font);
  SIZE blank{0, 0};
  ::GetTextExtentPoint32A(dc, " ", 1, &blank);
  LONG widest = 0;
  for (const GridCellValue& entry : m_entries) {
    SIZE size{0, 0};
    ::GetTextExtentPoint32A(dc, entry.text, entry.text.GetLength(), &size);
    widest = std::max(widest, size.cx);
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(m_grid, dc);
  const int cellHeight = m_cellRect.bottom - m_cellRect.top + 1;
  const int width = std::max<int>(m_cellRect.right - m_cellRect.left + 1,
                                  widest + ::GetSystemMetrics(SM_CXVSCROLL) + 2 * blank.cx);
  POINT topLeft{m_cellRect.left, m_cellRect.bottom};
  ::ClientToScreen(m_grid, &topLeft);
  if (!CreateEx(0, "LISTBOX", "", WS_POPUP | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, topLeft.x,
                topLeft.y, width, 4 * cellHeight, m_grid, nullptr)) {
    ::DestroyWindow(m_hidden);
    m_hidden = nullptr;
    return FALSE;
  }
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  for (const GridCellValue& entry : m_entries)
    SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(entry.text)));
  SendMessage(LB_SETCURSEL, static_cast<WPARAM>(m_startIndex), 0);
  SetFocus();
  return TRUE;
}

void CGridListEdit::EndWithKey(UINT key) {
  m_endKey = key;
  ::SetFocus(m_grid);
}

UINT CGridListEdit::OnGetDlgCode() { return DLGC_WANTALLKEYS; }

void CGridListEdit::OnKeyDown(UINT key, UINT, UINT) {
  const BOOL ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (key == VK_LEFT || key == VK_RIGHT ||
      (ctrl && (key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN))) {
    EndWithKey(key);
    return;
  }
  Default();
}

void CGridListEdit::OnChar(UINT ch, UINT, UINT) {
  if (ch == VK_TAB || ch == 10 || ch == VK_RETURN) {
    EndWithKey(ch);
    return;
  }
  if (ch == VK_ESCAPE) {
    SendMessage(LB_SETCURSEL, static_cast<WPARAM>(m_startIndex), 0);
    EndWithKey(ch);
    return;
  }
  Default();
}

void CGridListEdit::OnLButtonDown(UINT, CPoint point) {
  const LRESULT hit = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  const int index = LOWORD(hit);
  const int selected = static_cast<int>(SendMessage(LB_GETCURSEL));
  if (HIWORD(hit) == 0 && index == selected) {
    EndWithKey(VK_RETURN);
    return;
  }
  Default();
}

void CGridListEdit::OnKillFocus(CWnd*) {
  Default();
  if (m_reported) return;
  m_reported = TRUE;
  const int selected = static_cast<int>(SendMessage(LB_GETCURSEL));
  COleVariant value;
  if (selected >= 0 && selected < static_cast<int>(m_entries.size()))
    value = m_entries[static_cast<size_t>(selected)].value;
  GridEditNotify record{};
  record.hdr.hwndFrom = m_hidden;
  record.hdr.idFrom = GRID_EDITOR_ID;
  record.hdr.code = static_cast<UINT>(GN_ENDEDIT);
  record.item.row = m_row;
  record.item.col = m_col;
  record.item.userValue = static_cast<int>(m_endKey);
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
  if (::IsWindow(m_hWnd)) PostMessage(WM_CLOSE);
}

void CGridListEdit::OnDestroy() {
  if (m_hidden != nullptr && ::IsWindow(m_hidden)) ::DestroyWindow(m_hidden);
  m_hidden = nullptr;
  Default();
}

void CGridListEdit::PostNcDestroy() { delete this; }
