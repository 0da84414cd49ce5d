#include "classlib/Dialog.h"

#include "classlib/App.h"
#include "CreateHook.h"
#include "ModalLoop.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, &CDialog::OnOK)
  ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

namespace {

// Messages come to the object through its subclassed window procedure; the dialog manager's
// own procedure has nothing to add.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
  if (m_hWnd != nullptr) DestroyWindow();
}

LPCDLGTEMPLATEA CDialog::LoadTemplate() const {
  if (m_lpszTemplateName == nullptr) return nullptr;
  HINSTANCE hInst = AfxGetResourceHandle();
  HRSRC resource = ::FindResourceA(hInst, m_lpszTemplateName, reinterpret_cast<LPCSTR>(RT_DIALOG));
  if (resource == nullptr) return nullptr;
  HGLOBAL loaded = ::LoadResource(hInst, resource);
  return loaded != nullptr ? static_cast<LPCDLGTEMPLATEA>(::LockResource(loaded)) : nullptr;
}

BOOL CDialog::CreateFromTemplate(LPCDLGTEMPLATEA lpTemplate, HWND hWndParent) {
  HWND hWnd = nullptr;
  {
    CWndCreateHook hook(this);
    hWnd = ::CreateDialogIndirectParamA(AfxGetResourceHandle(), lpTemplate, hWndParent, &AfxDlgProc, 0);
  }
  if (hWnd == nullptr) {
    if (m_hWnd != nullptr) Detach();
    return FALSE;
  }
  return TRUE;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd) {
  m_lpszTemplateName = lpszTemplateName;
  if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
    m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
  if (pParentWnd != nullptr) m_pParentWnd = pParentWnd;
  LPCDLGTEMPLATEA lpTemplate = LoadTemplate();
  if (lpTemplate == nullptr) return FALSE;
  CWnd* pParent = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
  return CreateFromTemplate(lpTemplate, AfxSafeHwnd(pParent));
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd) {
  if (pParentWnd != nullptr) m_pParentWnd = pParentWnd;
  return CreateFromTemplate(lpDialogTemplate, AfxSafeHwnd(m_pParentWnd));
}

HWND CDialog::FindModalOwner() const { return AfxFindModalOwner(m_pParentWnd); }

INT_PTR CDialog::DoModal() {
  LPCDLGTEMPLATEA lpTemplate = LoadTemplate();
  if (lpTemplate == nullptr) return -1;
  HWND owner = FindModalOwner();
  m_nModalResult = -1;
  m_bModal = TRUE;
  m_bContinueModal = TRUE;
  if (!CreateFromTemplate(lpTemplate, owner)) {
    m_bModal = FALSE;
    m_bContinueModal = FALSE;
    return -1;
  }
  // The owner stays enabled until the dialog exists, and is enabled again before the dialog goes,
  // so the activation returns to it.
  bool reenableOwner = owner != nullptr && ::IsWindowEnabled(owner) && m_bContinueModal;
  if (reenableOwner) ::EnableWindow(owner, FALSE);
  if (m_bContinueModal && m_hWnd != nullptr) {
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    RunModalLoop();
  }
  if (reenableOwner) ::EnableWindow(owner, TRUE);
  if (m_hWnd != nullptr) {
    if (owner != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    DestroyWindow();
  }
  m_bModal = FALSE;
  return m_nModalResult;
}

int CDialog::RunModalLoop() {
  if (!AfxRunModalLoop(m_hWnd, [this] { return m_bContinueModal != FALSE; })) m_bContinueModal = FALSE;
  return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
  if (m_bModal) {
    m_nModalResult = nResult;
    if (m_bContinueModal) {
      m_bContinueModal = FALSE;
      ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wakes the loop
    }
  } else if (m_hWnd != nullptr) {
    ::EndDialog(m_hWnd, nResult);
  }
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
  if (pWndCtrl != nullptr && pWndCtrl->m_hWnd != nullptr)
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), TRUE);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  if (m_hWnd == nullptr || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
  if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)) return FALSE;
  return ::IsDialogMessageA(m_hWnd, pMsg);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInitDialog();
  return CWnd::WindowProc(message, wParam, lParam);
}
