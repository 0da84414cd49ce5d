#include "GridInPlaceEdit.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CGridInPlaceEdit, CEdit)
  ON_WM_KEYDOWN()
  ON_WM_CHAR()
  ON_WM_GETDLGCODE()
  ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

CGridInPlaceEdit::CGridInPlaceEdit(int row, int col, const RECT& cellRect)
    : m_row(row), m_col(col), m_cellRect(cellRect) {}

BOOL CGridInPlaceEdit::Start(CWnd* grid, DWORD style, const CString& text, UINT c) {
  m_startText = text;
  m_leaveOnArrows = c != 1;
  if (!Create(style | WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, m_cellRect, grid, GRID_EDITOR_ID))
    return FALSE;
  SendMessage(WM_SETFONT, grid->SendMessage(WM_GETFONT), 0);
  SetWindowText(text);
  SetFocus();
  if (c == 1 || c == 9 || c == 10 || (c >= 32 && c <= 40)) {
    SetSel(0, -1);
  } else if (c == VK_BACK) {
    SetSel(text.GetLength(), text.GetLength());
    SendMessage(WM_CHAR, VK_BACK, 0);
  } else if (c == VK_RETURN) {
    SetSel(text.GetLength(), text.GetLength());
  } else {
    SetSel(0, -1);
    if (c != 0) SendMessage(WM_CHAR, c, 0);
  }
  return TRUE;
}

void CGridInPlaceEdit::EndWithKey(UINT key) {
  m_endKey = key;
  if (CWnd* parent = GetParent()) parent->SetFocus();
}

BOOL CGridInPlaceEdit::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_SYSCHAR) return TRUE;
  return CEdit::PreTranslateMessage(msg);
}

UINT CGridInPlaceEdit::OnGetDlgCode() { return DLGC_WANTALLKEYS; }

void CGridInPlaceEdit::OnKeyDown(UINT key, UINT, UINT) {
  switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
      EndWithKey(key);
      return;
    case VK_HOME:
    case VK_END:
      m_leaveOnArrows = FALSE;
      break;
    case VK_LEFT:
    case VK_RIGHT:
      if (m_leaveOnArrows) {
        EndWithKey(key);
        return;
      }
      break;
    default:
      break;
  }
  Default();
}

void CGridInPlaceEdit::OnChar(UINT ch, UINT, UINT) {
  if (ch == VK_TAB || ch == 10 || ch == VK_RETURN) {
    EndWithKey(ch);
    return;
  }
  if (ch == VK_ESCAPE) {
    SetWindowText(m_startText);
    EndWithKey(ch);
    return;
  }
  if (ch >= 32 && !AcceptChar(ch)) {
    ::MessageBeep(0);
    return;
  }
  Default();
  m_leaveOnArrows = FALSE;
  if (GrowsWithText()) GrowToText();
}

void CGridInPlaceEdit::GrowToText() {
  CString text;
  GetWindowText(text);
  text += "  ";
  HDC dc = ::GetDC(m_hWnd);
  if (dc == nullptr) return;
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
  SIZE size{0, 0};
  ::GetTextExtentPoint32A(dc, text, text.GetLength(), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(m_hWnd, dc);
  RECT client;
  GetClientRect(&client);
  if (size.cx <= client.right) return;
  RECT window;
  GetWindowRect(&window);
  CWnd* parent = GetParent();
  parent->ScreenToClient(&window);
  RECT parentClient;
  parent->GetClientRect(&parentClient);
  const LONG right = std::min<LONG>(window.right + size.cx - client.right, parentClient.right);
  if (right > window.right)
    SetWindowPos(nullptr, 0, 0, right - window.left, window.bottom - window.top, SWP_NOMOVE | SWP_NOZORDER);
}

CString CGridInPlaceEdit::ResultText() {
  CString text;
  GetWindowText(text);
  text.Replace(GRID_RETURN_MARK, '\r');
  return text;
}

void CGridInPlaceEdit::OnKillFocus(CWnd*) {
  Default();
  if (m_reported) return;
  m_reported = TRUE;
  GridEditNotify record{};
  record.hdr.hwndFrom = m_hWnd;
  record.hdr.idFrom = GRID_EDITOR_ID;
  record.hdr.code = static_cast<UINT>(GN_ENDEDIT);
  record.item.row = m_row;
  record.item.col = m_col;
  record.item.mask = GVIF_TEXT | GVIF_TYPE;
  record.item.text = ResultText();
  record.item.noText = false;
  record.item.userValue = static_cast<int>(m_endKey);
  HWND receiver = ::GetWindow(m_hWnd, GW_OWNER);
  if (receiver == nullptr) receiver = ::GetParent(m_hWnd);
  if (receiver != nullptr)
    ::SendMessageA(receiver, WM_NOTIFY, GRID_EDITOR_ID, reinterpret_cast<LPARAM>(&record));
  if (::IsWindow(m_hWnd)) PostMessage(WM_CLOSE);
}

void CGridInPlaceEdit::PostNcDestroy() { delete this; }
