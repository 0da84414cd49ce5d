#include "classlib/PropertySheet.h"

#include "classlib/App.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)

INT_PTR CALLBACK AfxPropertyPageDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  try {
    // From now on the page object's window; everything after this goes through its map.
    auto* psp = reinterpret_cast<PROPSHEETPAGEA*>(lParam);
    auto* pPage = psp != nullptr ? reinterpret_cast<CPropertyPage*>(psp->lParam) : nullptr;
    if (pPage == nullptr || pPage->m_hWnd != nullptr) return FALSE;
    if (!pPage->SubclassWindow(hWnd)) return FALSE;
    pPage->m_bFirstSetActive = TRUE;
    return pPage->OnInitDialog();
  } catch (...) {
    AfxReportCaughtException();
  }
  return FALSE;
}

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption)
    : CPropertyPage(MAKEINTRESOURCEA(nIDTemplate), nIDCaption) {
  m_nIDHelp = nIDTemplate;
}

CPropertyPage::CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption) : CDialog(lpszTemplateName), m_psp() {
  m_psp.dwSize = sizeof(PROPSHEETPAGEA);
  m_psp.dwFlags = PSP_DEFAULT;
  m_psp.hInstance = AfxGetResourceHandle();
  m_psp.pszTemplate = m_lpszTemplateName;
  m_psp.pfnDlgProc = &AfxPropertyPageDlgProc;
  m_psp.lParam = reinterpret_cast<LPARAM>(this);
  if (nIDCaption != 0 && m_strCaption.LoadString(nIDCaption)) {
    m_psp.pszTitle = m_strCaption;
    m_psp.dwFlags |= PSP_USETITLE;
  }
}

CPropertyPage::~CPropertyPage() = default;

BOOL CPropertyPage::OnSetActive() {
  // The first time, OnInitDialog has just filled the controls.
  if (m_bFirstSetActive) {
    m_bFirstSetActive = FALSE;
  } else {
    UpdateData(FALSE);
  }
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply() {
  OnOK();
  return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }
BOOL CPropertyPage::OnQueryCancel() { return TRUE; }
void CPropertyPage::OnOK() {}
void CPropertyPage::OnCancel() {}

void CPropertyPage::SetModified(BOOL bChanged) {
  HWND hWndSheet = ::GetParent(m_hWnd);
  if (hWndSheet != nullptr)
    ::SendMessageA(hWndSheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

CPropertySheet* CPropertyPage::GetParentSheet() const {
  return dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
}

// The sheet handles the dialog keys of all its pages.
BOOL CPropertyPage::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  auto* nmhdr = reinterpret_cast<NMHDR*>(lParam);
  if (nmhdr->hwndFrom == nullptr || nmhdr->hwndFrom != ::GetParent(m_hWnd))
    return CDialog::OnNotify(wParam, lParam, pResult);
  LRESULT result = 0;
  // A failure (or an exception, reported here) keeps the page and the sheet as they are.
  switch (nmhdr->code) {
    case PSN_SETACTIVE:
      try {
        result = OnSetActive() ? 0 : -1;
      } catch (...) {
        AfxReportCaughtException();
        result = -1;
      }
      break;
    case PSN_KILLACTIVE:
      try {
        result = OnKillActive() ? FALSE : TRUE;
      } catch (...) {
        AfxReportCaughtException();
        result = TRUE;
      }
      break;
    case PSN_APPLY:
      try {
        result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
      } catch (...) {
        AfxReportCaughtException();
        result = PSNRET_INVALID_NOCHANGEPAGE;
      }
      break;
    case PSN_RESET:
      try {
        OnReset();
      } catch (...) {
        AfxReportCaughtException();
      }
      break;
    case PSN_QUERYCANCEL:
      try {
        result = OnQueryCancel() ? FALSE : TRUE;
      } catch (...) {
        AfxReportCaughtException();
        result = TRUE;
      }
      break;
    default:
      return CDialog::OnNotify(wParam, lParam, pResult);
  }
  // The sheet reads the answer from the window procedure's result or from the page's
  // message-result slot (pointer-sized), depending on the system; both carry it.
  ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
  *pResult = result;
  return TRUE;
}
