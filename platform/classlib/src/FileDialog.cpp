#include "classlib/FileDialog.h"

#include "classlib/App.h"

#include <atomic>
#include <cstring>

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

namespace {

thread_local DWORD t_lastDialogError = 0;

BOOL RealGetFileName(OPENFILENAMEA* pofn, BOOL bOpenFileDialog) {
  BOOL ok = bOpenFileDialog ? ::GetOpenFileNameA(pofn) : ::GetSaveFileNameA(pofn);
  AfxSetCommDlgExtendedError(ok ? 0 : ::CommDlgExtendedError());
  return ok;
}

std::atomic<AFX_FILEDIALOG_HANDLER> g_fileDialogHandler{&RealGetFileName};

// The name part of a path: after the last separator.
int NameStart(const CString& path) {
  int slash = path.ReverseFind('\\');
  int other = path.ReverseFind('/');
  if (other > slash) slash = other;
  int colon = path.ReverseFind(':');
  if (colon > slash) slash = colon;
  return slash + 1;
}

}  // namespace

UINT_PTR CALLBACK AfxFileDialogHookProc(HWND hDlg, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return 0;
  try {
    // The explorer dialog's child: from now on the object's window, so the template's controls
    // talk to its map.
    auto* pofn = reinterpret_cast<OPENFILENAMEA*>(lParam);
    auto* pDlg = pofn != nullptr ? reinterpret_cast<CFileDialog*>(pofn->lCustData) : nullptr;
    if (pDlg == nullptr || pDlg->m_hWnd != nullptr) return 0;
    if (!pDlg->SubclassWindow(hDlg)) return 0;
    return static_cast<UINT_PTR>(pDlg->OnInitDialog());
  } catch (...) {
    AfxReportCaughtException();
  }
  return 0;
}

DWORD AfxCommDlgExtendedError() { return t_lastDialogError; }
void AfxSetCommDlgExtendedError(DWORD dwError) { t_lastDialogError = dwError; }

BOOL AfxGetFileName(OPENFILENAMEA* pofn, BOOL bOpenFileDialog) {
  return g_fileDialogHandler.load()(pofn, bOpenFileDialog);
}

AFX_FILEDIALOG_HANDLER AfxSetFileDialogHandler(AFX_FILEDIALOG_HANDLER handler) {
  return g_fileDialogHandler.exchange(handler != nullptr ? handler : &RealGetFileName);
}

CString AfxFileDialogFilterText(LPCSTR lpstrFilter) {
  CString text;
  if (lpstrFilter == nullptr) return text;
  for (const char* p = lpstrFilter; *p != '\0'; p += std::strlen(p) + 1) {
    text += p;
    text += '|';
  }
  return text;
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_ofn(), m_bOpenFileDialog(bOpenFileDialog) {
  m_pParentWnd = pParentWnd;
  m_ofn.lStructSize = sizeof(OPENFILENAMEA);
  m_ofn.hInstance = AfxGetResourceHandle();
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = sizeof(m_szFileName);
  m_ofn.lpstrFileTitle = m_szFileTitle;
  m_ofn.nMaxFileTitle = sizeof(m_szFileTitle);
  m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLEHOOK;
  m_ofn.lpfnHook = &AfxFileDialogHookProc;
  m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
  if (lpszDefExt != nullptr) {
    m_strDefExt = lpszDefExt;
    m_ofn.lpstrDefExt = m_strDefExt;
  }
  if (lpszFileName != nullptr) ::lstrcpynA(m_szFileName, lpszFileName, sizeof(m_szFileName));
  if (lpszFilter != nullptr) {
    m_filter = lpszFilter;
    for (char& ch : m_filter) {
      if (ch == '|') ch = '\0';
    }
    // "a|b||" ends in two terminators already; make sure an unterminated list ends properly.
    m_filter.push_back('\0');
    m_filter.push_back('\0');
    m_ofn.lpstrFilter = m_filter.c_str();
  }
}

CFileDialog::~CFileDialog() = default;

INT_PTR CFileDialog::DoModal() {
  m_ofn.hwndOwner = FindModalOwner();
  m_ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
  m_ofn.lpfnHook = &AfxFileDialogHookProc;
  m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
  if (m_ofn.lpstrFileTitle == m_szFileTitle) m_szFileTitle[0] = '\0';
  AfxSetCommDlgExtendedError(0);
  BOOL ok = AfxGetFileName(&m_ofn, m_bOpenFileDialog);
  // The child went with the dialog (its WM_NCDESTROY detached it); never keep a stale handle.
  if (m_hWnd != nullptr) Detach();
  if (ok) return IDOK;
  return AfxCommDlgExtendedError() != 0 ? -1 : IDCANCEL;
}

BOOL CFileDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

namespace {

// Asks the open dialog (the parent of the object's child window) for one of its texts.
CString AskOpenDialog(HWND hWndChild, UINT message) {
  HWND hWndDialog = ::GetParent(hWndChild);
  CString text;
  LRESULT length = ::SendMessageA(hWndDialog, message, 0, 0);
  if (length <= 0) return text;
  char* buffer = text.GetBuffer(static_cast<int>(length) + 1);
  length =
      ::SendMessageA(hWndDialog, message, static_cast<WPARAM>(length) + 1, reinterpret_cast<LPARAM>(buffer));
  text.ReleaseBuffer(length > 0 ? -1 : 0);
  return text;
}

}  // namespace

CString CFileDialog::GetPathName() const {
  if (m_hWnd != nullptr) return AskOpenDialog(m_hWnd, CDM_GETFILEPATH);
  if (m_ofn.lpstrFile == nullptr) return CString();
  return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const {
  CString path = GetPathName();
  return path.Mid(NameStart(path));
}

CString CFileDialog::GetFileExt() const {
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot >= 0 ? name.Mid(dot + 1) : CString();
}

CString CFileDialog::GetFileTitle() const {
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot >= 0 ? name.Left(dot) : name;
}

CString CFileDialog::GetFolderPath() const {
  if (m_hWnd != nullptr) return AskOpenDialog(m_hWnd, CDM_GETFOLDERPATH);
  CString path = GetPathName();
  int start = NameStart(path);
  return start > 0 ? path.Left(start - 1) : CString();
}

POSITION CFileDialog::GetStartPosition() const {
  if (m_ofn.lpstrFile == nullptr || m_ofn.lpstrFile[0] == '\0') return nullptr;
  return reinterpret_cast<POSITION>(m_ofn.lpstrFile);
}

CString CFileDialog::GetNextPathName(POSITION& pos) const {
  const char* buffer = m_ofn.lpstrFile;
  const char* item = reinterpret_cast<const char*>(pos);
  if (buffer == nullptr || item == nullptr) {
    pos = nullptr;
    return CString();
  }
  size_t folderLength = std::strlen(buffer);
  bool several = (m_ofn.Flags & OFN_ALLOWMULTISELECT) != 0 && buffer[folderLength + 1] != '\0';
  if (!several) {
    pos = nullptr;
    return CString(buffer);
  }
  // A list: the folder, then the names, then an empty text.
  if (item == buffer) item = buffer + folderLength + 1;
  size_t nameLength = std::strlen(item);
  const char* next = item + nameLength + 1;
  pos = *next != '\0' ? reinterpret_cast<POSITION>(const_cast<char*>(next)) : nullptr;
  CString path(buffer);
  if (!path.IsEmpty() && path[path.GetLength() - 1] != '\\') path += '\\';
  return path + CString(item);
}
