// CFileDialog: the system's open or save dialog. The filter is given in the "text|pattern|...||"
// form. The dialog is always explorer style with the layer's hook: a child template
// (OFN_ENABLETEMPLATE with m_ofn.lpTemplateName) becomes this object's window while the dialog is
// open, so its controls' commands and notifications reach this object's message map, and
// OnInitDialog runs when it appears (GetParent() is then the system's dialog itself).
//
// DoModal goes through AfxGetFileName, which a test can replace (see FileDialogScript.h).
#pragma once

#include "classlib/Dialog.h"
#include "classlib/Map.h"

#include <commdlg.h>

#include <string>

class CFileDialog : public CDialog {
  DECLARE_DYNAMIC(CFileDialog)

 public:
  explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                       CWnd* pParentWnd = nullptr);
  ~CFileDialog() override;

  // What the system dialog is shown with. Flags always carry OFN_EXPLORER and OFN_ENABLEHOOK;
  // lpfnHook and lCustData belong to the layer.
  OPENFILENAMEA m_ofn;

  // IDOK or IDCANCEL; -1 when the dialog could not be shown or failed (AfxCommDlgExtendedError
  // tells why).
  INT_PTR DoModal() override;
  BOOL OnInitDialog() override;

  // The chosen file: while the dialog is open, what it currently holds; after it, the answer.
  CString GetPathName() const;
  CString GetFileName() const;   // the name without its folder
  CString GetFileExt() const;    // the text after the name's last '.', empty when none
  CString GetFileTitle() const;  // the name without its extension
  CString GetFolderPath() const;
  BOOL IsOpenDialog() const { return m_bOpenFileDialog; }
  // With OFN_ALLOWMULTISELECT: the chosen files one by one (one file is also answered this way).
  POSITION GetStartPosition() const;
  CString GetNextPathName(POSITION& pos) const;

 protected:
  // Commands of the system dialog's own buttons never reach the child's map.
  void OnOK() override {}
  void OnCancel() override {}

  BOOL m_bOpenFileDialog;
  CString m_strDefExt;
  std::string m_filter;  // the filter with every '|' made a terminator
  char m_szFileName[MAX_PATH] = {};
  char m_szFileTitle[MAX_PATH] = {};

  friend UINT_PTR CALLBACK AfxFileDialogHookProc(HWND, UINT, WPARAM, LPARAM);
};

// The one function every file dialog goes through: same contract as GetOpenFileNameA (bOpen) or
// GetSaveFileNameA. Direct callers of those use it too, so tests can answer them.
BOOL AfxGetFileName(OPENFILENAMEA* pofn, BOOL bOpenFileDialog);
inline BOOL AfxGetOpenFileName(OPENFILENAMEA* pofn) { return AfxGetFileName(pofn, TRUE); }
inline BOOL AfxGetSaveFileName(OPENFILENAMEA* pofn) { return AfxGetFileName(pofn, FALSE); }
typedef BOOL (*AFX_FILEDIALOG_HANDLER)(OPENFILENAMEA* pofn, BOOL bOpenFileDialog);
// Replaces the file dialogs for the whole process (nullptr restores the real ones); returns the
// handler it replaces.
AFX_FILEDIALOG_HANDLER AfxSetFileDialogHandler(AFX_FILEDIALOG_HANDLER handler);

// The common-dialog error of the last file, colour or folder dialog that went through the layer
// on this thread (0 after an answer, a cancel, or a scripted answer).
DWORD AfxCommDlgExtendedError();
void AfxSetCommDlgExtendedError(DWORD dwError);

// The filter of an OPENFILENAME (pairs ended by an empty text) in the "text|pattern|...|" form.
CString AfxFileDialogFilterText(LPCSTR lpstrFilter);

#include "classlib/FileDialogScript.h"
