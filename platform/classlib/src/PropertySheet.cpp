#include "classlib/PropertySheet.h"

#include "classlib/App.h"
#include "CreateHook.h"
#include "ModalLoop.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

CPropertySheet::CPropertySheet() : m_psh() { m_psh.dwSize = sizeof(PROPSHEETHEADERA); }

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) : CPropertySheet() {
  m_strCaption.LoadString(nIDCaption);
  m_pParentWnd = pParentWnd;
  m_nStartPage = iSelectPage;
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage) : CPropertySheet() {
  m_strCaption = pszCaption;
  m_pParentWnd = pParentWnd;
  m_nStartPage = iSelectPage;
}

CPropertySheet::~CPropertySheet() {
  m_tabCtrl.m_hWnd = nullptr;
  if (m_hWnd != nullptr) DestroyWindow();
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
  m_pages.push_back(pPage);
  if (m_hWnd != nullptr) {
    HPROPSHEETPAGE hPage = ::CreatePropertySheetPageA(&pPage->m_psp);
    if (hPage != nullptr) ::SendMessageA(m_hWnd, PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(hPage));
  }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) {
  int index = GetPageIndex(pPage);
  if (index < 0) return;
  if (m_hWnd != nullptr) ::SendMessageA(m_hWnd, PSM_REMOVEPAGE, static_cast<WPARAM>(index), 0);
  m_pages.erase(m_pages.begin() + index);
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const {
  auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
  return it != m_pages.end() ? static_cast<int>(it - m_pages.begin()) : -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
  int index = GetActiveIndex();
  return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

int CPropertySheet::GetActiveIndex() const {
  if (m_hWnd == nullptr) return static_cast<int>(m_nStartPage);
  auto hPage = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
  if (hPage == nullptr) return -1;
  for (size_t i = 0; i < m_pages.size(); ++i) {
    if (m_pages[i]->m_hWnd == hPage) return static_cast<int>(i);
  }
  return -1;
}

BOOL CPropertySheet::SetActivePage(int nPage) {
  if (nPage < 0 || nPage >= GetPageCount()) return FALSE;
  if (m_hWnd == nullptr) {
    m_nStartPage = static_cast<UINT>(nPage);
    return TRUE;
  }
  return static_cast<BOOL>(::SendMessageA(m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(nPage), 0));
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle) {
  m_strCaption = lpszText;
  if (m_hWnd != nullptr) ::SendMessageA(m_hWnd, PSM_SETTITLEA, nStyle, reinterpret_cast<LPARAM>(lpszText));
}

CTabCtrl* CPropertySheet::GetTabControl() const {
  m_tabCtrl.m_hWnd =
      m_hWnd != nullptr ? reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0)) : nullptr;
  return m_tabCtrl.m_hWnd != nullptr ? &m_tabCtrl : nullptr;
}

HWND CPropertySheet::FindModalOwner() const { return AfxFindModalOwner(m_pParentWnd); }

BOOL CPropertySheet::IsShowingPage() const {
  return m_hWnd != nullptr && ::IsWindow(m_hWnd) && ::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0) != 0;
}

INT_PTR CPropertySheet::DoModal() {
  if (m_hWnd != nullptr || m_pages.empty()) return -1;
  HWND owner = FindModalOwner();
  m_pageHeaders.clear();
  for (CPropertyPage* pPage : m_pages) {
    PROPSHEETPAGEA header = pPage->m_psp;
    header.pfnDlgProc = &AfxPropertyPageDlgProc;
    header.lParam = reinterpret_cast<LPARAM>(pPage);
    m_pageHeaders.push_back(header);
  }
  m_psh.dwSize = sizeof(PROPSHEETHEADERA);
  m_psh.dwFlags = (m_psh.dwFlags & ~static_cast<DWORD>(PSH_USEHICON | PSH_USEPSTARTPAGE)) |
                  PSH_PROPSHEETPAGE | PSH_MODELESS;
  m_psh.hwndParent = owner;
  m_psh.hInstance = AfxGetResourceHandle();
  m_psh.pszCaption = m_strCaption;
  m_psh.nPages = static_cast<UINT>(m_pageHeaders.size());
  m_psh.nStartPage = m_nStartPage < m_psh.nPages ? m_nStartPage : 0;
  m_psh.ppsp = m_pageHeaders.data();
  m_nModalResult = IDCANCEL;

  INT_PTR created;
  {
    CWndCreateHook hook(this);
    created = ::PropertySheetA(&m_psh);
  }
  if (created == 0 || created == -1 || m_hWnd == nullptr) {
    if (m_hWnd != nullptr) DestroyWindow();
    return -1;
  }
  // As for a modal dialog: the owner is disabled once the sheet exists and enabled again before
  // the sheet goes, so the activation returns to it.
  bool reenableOwner = owner != nullptr && ::IsWindowEnabled(owner);
  if (reenableOwner) ::EnableWindow(owner, FALSE);
  ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
  AfxRunModalLoop(m_hWnd, [this] { return IsShowingPage() != FALSE; });
  // What PropertySheet would have returned for a modal sheet: positive once OK has applied the
  // pages, 0 after Cancel (or the close box).
  if (m_hWnd != nullptr && ::SendMessageA(m_hWnd, PSM_GETRESULT, 0, 0) > 0) m_nModalResult = IDOK;
  if (reenableOwner) ::EnableWindow(owner, TRUE);
  if (m_hWnd != nullptr) {
    if (owner != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    DestroyWindow();
  }
  m_tabCtrl.m_hWnd = nullptr;
  return m_nModalResult;
}

BOOL CPropertySheet::OnInitDialog() { return TRUE; }

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg) {
  if (m_hWnd == nullptr || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
  if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)) return FALSE;
  return static_cast<BOOL>(::SendMessageA(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(pMsg)));
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CWnd::WindowProc(message, wParam, lParam);
  if (message == WM_INITDIALOG) OnInitDialog();
  return result;
}
