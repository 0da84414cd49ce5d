// CDocument: the data behind views; a command target reached after the active view.
#pragma once

#include "classlib/CmdTarget.h"
#include "classlib/String.h"

#include <vector>

class CView;

class CDocument : public CCmdTarget {
  DECLARE_DYNAMIC(CDocument)

 public:
  ~CDocument() override;

  void AddView(CView* pView);
  void RemoveView(CView* pView);
  const std::vector<CView*>& GetViews() const { return m_viewList; }
  void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);

  const CString& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
  const CString& GetPathName() const { return m_strPathName; }
  virtual void SetPathName(LPCTSTR lpszPathName, BOOL = TRUE) { m_strPathName = lpszPathName; }
  virtual BOOL IsModified() { return m_bModified; }
  virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

 protected:
  std::vector<CView*> m_viewList;
  CString m_strTitle;
  CString m_strPathName;
  BOOL m_bModified = FALSE;
};
