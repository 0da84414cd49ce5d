#include "classlib/RecentFileList.h"

#include "classlib/App.h"
#include "classlib/CmdUI.h"
#include "classlib/Menu.h"

CRecentFileList::CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize, int)
    : m_strSectionName(lpszSection),
      m_strEntryFormat(lpszEntryFormat),
      m_nStart(nStart),
      m_arrNames(static_cast<size_t>(nSize > 0 ? nSize : 1)) {}

namespace {
CString FullPath(LPCTSTR path) {
  char full[MAX_PATH * 2] = {};
  char* filePart = nullptr;
  DWORD length = ::GetFullPathNameA(path, sizeof(full), full, &filePart);
  return length > 0 && length < sizeof(full) ? CString(full) : CString(path);
}
}  // namespace

void CRecentFileList::Add(LPCTSTR lpszPathName) {
  if (lpszPathName == nullptr || *lpszPathName == '\0') return;
  CString path = FullPath(lpszPathName);
  size_t position = m_arrNames.size() - 1;  // a new name pushes the oldest out
  for (size_t i = 0; i < m_arrNames.size(); ++i) {
    if (m_arrNames[i].CompareNoCase(path) == 0) {
      position = i;
      break;
    }
  }
  for (size_t i = position; i > 0; --i) m_arrNames[i] = m_arrNames[i - 1];
  m_arrNames[0] = path;
}

void CRecentFileList::Remove(int nIndex) {
  if (nIndex < 0 || nIndex >= GetSize()) return;
  for (size_t i = static_cast<size_t>(nIndex); i + 1 < m_arrNames.size(); ++i)
    m_arrNames[i] = m_arrNames[i + 1];
  m_arrNames.back().Empty();
}

void CRecentFileList::ReadList() {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr) return;
  for (int i = 0; i < GetSize(); ++i) {
    CString entry;
    entry.Format(m_strEntryFormat, i + 1);
    m_arrNames[static_cast<size_t>(i)] = pApp->GetProfileString(m_strSectionName, entry);
  }
}

void CRecentFileList::WriteList() {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr) return;
  pApp->WriteProfileString(m_strSectionName, nullptr, nullptr);
  for (int i = 0; i < GetSize(); ++i) {
    const CString& name = m_arrNames[static_cast<size_t>(i)];
    if (name.IsEmpty()) continue;
    CString entry;
    entry.Format(m_strEntryFormat, i + 1);
    pApp->WriteProfileString(m_strSectionName, entry, name);
  }
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI) {
  CMenu* pMenu = pCmdUI->m_pMenu;
  if (m_strOriginal.IsEmpty() && pMenu != nullptr)
    pMenu->GetMenuString(pCmdUI->m_nID, m_strOriginal, MF_BYCOMMAND);
  if (GetSize() == 0 || m_arrNames[0].IsEmpty()) {
    if (!m_strOriginal.IsEmpty()) pCmdUI->SetText(m_strOriginal);
    pCmdUI->Enable(FALSE);
    return;
  }
  if (pMenu == nullptr) return;
  // Drop the items of the previous update, then put one item per file where the first stood.
  for (int i = 0; i < GetSize(); ++i) pMenu->DeleteMenu(pCmdUI->m_nID + i, MF_BYCOMMAND);
  int shown = 0;
  for (int i = 0; i < GetSize(); ++i) {
    const CString& name = m_arrNames[static_cast<size_t>(i)];
    if (name.IsEmpty()) break;
    CString escaped = name;
    escaped.Replace("&", "&&");
    CString text;
    text.Format("&%d %s", i + 1, static_cast<LPCTSTR>(escaped));
    pMenu->InsertMenu(pCmdUI->m_nIndex + i, MF_BYPOSITION | MF_STRING, pCmdUI->m_nID + i, text);
    ++shown;
  }
  // The update loop continues after the items just inserted.
  pCmdUI->m_nIndex += shown - 1;
  pCmdUI->m_nIndexMax = pMenu->GetMenuItemCount();
  pCmdUI->m_bEnableChanged = TRUE;
}
