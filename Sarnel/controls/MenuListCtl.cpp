#include "MenuListCtl.h"

#include "ColourPicker.h"
#include "ControlClasses.h"
#include "MemDC.h"

BEGIN_MESSAGE_MAP(CMenuListCtl, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
  ON_WM_KEYDOWN()
  ON_WM_MOUSEWHEEL()
  ON_WM_ENABLE()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_MESSAGE(LCM_GETCURSEL, &CMenuListCtl::OnGetCurSel)
  ON_MESSAGE(LCM_SETCURSEL, &CMenuListCtl::OnSetCurSel)
END_MESSAGE_MAP()

CMenuListCtl::CMenuListCtl() : sentinel{&sentinel, &sentinel, -1, CString()}, selected(&sentinel) {}

CMenuListCtl::~CMenuListCtl() {
  Node* node = sentinel.next;
  while (node != &sentinel) {
    Node* next = node->next;
    delete node;
    node = next;
  }
}

void CMenuListCtl::Repaint() {
  if (::IsWindow(m_hWnd)) Invalidate(FALSE);
}

void CMenuListCtl::ResetContent() {
  Node* node = sentinel.next;
  while (node != &sentinel) {
    Node* next = node->next;
    delete node;
    node = next;
  }
  sentinel.next = sentinel.previous = &sentinel;
  count = 0;
  selected = &sentinel;
  Repaint();
}

void CMenuListCtl::AddItem(int id, LPCTSTR text, BOOL select) {
  Node* node = new Node{&sentinel, sentinel.previous, id, CString(text != nullptr ? text : "")};
  sentinel.previous->next = node;
  sentinel.previous = node;
  ++count;
  if (select) selected = node;
}

CMenuListCtl::Node* CMenuListCtl::Find(int id) const {
  for (Node* node = sentinel.next; node != &sentinel; node = node->next)
    if (node->id == id) return node;
  return nullptr;
}

int CMenuListCtl::GetCurSel() const { return selected == &sentinel ? -1 : selected->id; }

void CMenuListCtl::SetCurSel(int id) {
  if (id == -1) {
    selected = &sentinel;
    Repaint();
    return;
  }
  if (Node* node = Find(id)) {
    selected = node;
    Repaint();
  }
}

CString CMenuListCtl::GetItemText(int id) const {
  Node* node = Find(id);
  return node != nullptr ? node->text : CString();
}

LRESULT CMenuListCtl::OnGetCurSel(WPARAM, LPARAM) { return GetCurSel(); }

LRESULT CMenuListCtl::OnSetCurSel(WPARAM wParam, LPARAM) {
  SetCurSel(static_cast<int>(wParam));
  return static_cast<LRESULT>(wParam);
}

void CMenuListCtl::OnLButtonDown(UINT, CPoint) {
  if (count == 1 && selected != &sentinel) return;
  HMENU menu = ::CreatePopupMenu();
  if (menu == nullptr) return;
  for (Node* node = sentinel.next; node != &sentinel; node = node->next) {
    UINT flags = MF_STRING | (node == selected ? MF_CHECKED : MF_UNCHECKED);
    ::AppendMenuA(menu, flags, static_cast<UINT_PTR>(static_cast<UINT>(node->id + 1)), node->text);
  }
  CPoint corner(1, 1);
  ClientToScreen(&corner);
  const int result = static_cast<int>(
      AfxTrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, corner.x, corner.y, m_hWnd, nullptr));
  if (result != 0) {
    SetCurSel(result - 1);
    if (HWND parent = ::GetParent(m_hWnd)) {
      NMHDR notify = {m_hWnd, static_cast<UINT_PTR>(::GetWindowLongPtrA(m_hWnd, GWL_ID)), PICKN_CHANGED};
      ::SendMessageA(parent, WM_NOTIFY, notify.idFrom, reinterpret_cast<LPARAM>(&notify));
    }
  }
  ::DestroyMenu(menu);
}

BOOL CMenuListCtl::OnEraseBkgnd(CDC*) { return TRUE; }

void CMenuListCtl::OnPaint() {
  PAINTSTRUCT paint;
  HDC target = ::BeginPaint(m_hWnd, &paint);
  CRect client;
  GetClientRect(&client);
  zvk::MemDC memory;
  memory.Create(target, &client, false);
  HDC dc = memory.GetSafeHdc();
  ::SetBkColor(dc, RGB(64, 64, 64));
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
  CRect inner(client.left + 1, client.top + 1, client.right - 2, client.bottom - 2);
  ::SetBkColor(dc, IsWindowEnabled() ? RGB(255, 255, 255) : RGB(194, 194, 194));
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &inner, nullptr, 0, nullptr);
  if (::GetFocus() == m_hWnd) ::DrawFocusRect(dc, &inner);
  if (selected != &sentinel) {
    HFONT font = ControlClasses::GetStoredFont(m_hWnd);
    HGDIOBJ oldFont = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::DrawTextA(dc, selected->text, -1, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (oldFont != nullptr) ::SelectObject(dc, oldFont);
  }
  memory.Flush();
  ::EndPaint(m_hWnd, &paint);
}

void CMenuListCtl::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (key == VK_UP || key == VK_DOWN) return;
  CWnd::OnKeyDown(key, repeat, flags);
}

BOOL CMenuListCtl::OnMouseWheel(UINT, short, CPoint) { return TRUE; }

void CMenuListCtl::OnEnable(BOOL enable) {
  CWnd::OnEnable(enable);
  Repaint();
}

void CMenuListCtl::OnSetFocus(CWnd* oldWnd) {
  CWnd::OnSetFocus(oldWnd);
  Repaint();
}

void CMenuListCtl::OnKillFocus(CWnd* newWnd) {
  CWnd::OnKillFocus(newWnd);
  Repaint();
}

void DDX_MenuList(CDataExchange* pDX, int nIDC, int& id) {
  HWND control = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    id = static_cast<int>(::SendMessageA(control, LCM_GETCURSEL, 0, 0));
  else
    ::SendMessageA(control, LCM_SETCURSEL, static_cast<WPARAM>(id), 0);
}
