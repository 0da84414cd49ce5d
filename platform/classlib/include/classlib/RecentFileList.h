// CRecentFileList: the most recently used files, most recent first, kept in the profile as
// <section>\<entry format with 1..n>, and shown in the menu from the first MRU command on.
#pragma once

#include "classlib/String.h"

#include <vector>

class CCmdUI;

class CRecentFileList {
 public:
  CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize, int nMaxDispLen = 0);
  virtual ~CRecentFileList() = default;

  int GetSize() const { return static_cast<int>(m_arrNames.size()); }
  const CString& operator[](int nIndex) const { return m_arrNames[static_cast<size_t>(nIndex)]; }
  // Puts the file first (a file already in the list moves up; names compare without case).
  virtual void Add(LPCTSTR lpszPathName);
  virtual void Remove(int nIndex);
  virtual void ReadList();
  virtual void WriteList();
  // Replaces the placeholder item (the first MRU command) with one item per file.
  virtual void UpdateMenu(CCmdUI* pCmdUI);

  CString m_strSectionName;
  CString m_strEntryFormat;
  UINT m_nStart;
  CString m_strOriginal;  // the placeholder's text, shown (disabled) when the list is empty

 protected:
  std::vector<CString> m_arrNames;
};
