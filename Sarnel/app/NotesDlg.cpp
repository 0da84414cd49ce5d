#include "NotesDlg.h"

#include "resource.h"

CNotesDlg::CNotesDlg(const CString& text, bool editable, CWnd* parent)
    : CDialog(IDD_NOTES, parent), text(text), editable(editable) {}

BOOL CNotesDlg::OnInitDialog() {
  // An edit takes 32,767 characters unless told otherwise; longer notes must come back whole.
  SendDlgItemMessage(IDC_NOTES_TEXT, EM_SETLIMITTEXT, 0, 0);
  CDialog::OnInitDialog();
  CWnd* edit = GetDlgItem(IDC_NOTES_TEXT);
  if (!editable) {
    if (CWnd* ok = GetDlgItem(IDOK)) ok->ShowWindow(SW_HIDE);
    edit->SendMessage(EM_SETREADONLY, TRUE);
    SetDefID(IDCANCEL);
  }
  GotoDlgCtrl(edit);
  const int end = edit->GetWindowTextLength();
  edit->SendMessage(EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
  return FALSE;  // the focus has been placed
}

void CNotesDlg::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_NOTES_TEXT, text); }
