// CPropertySheet: a tabbed dialog of property pages. DoModal runs it on the layer's own modal
// loop, like CDialog::DoModal: the sheet is made modeless with its owner disabled, and the loop
// (with the application's pre-translation and idle processing) ends when the sheet has no
// current page any more. The result is the button that closed it, IDOK or IDCANCEL.
#pragma once

#include "classlib/PropertyPage.h"
#include "classlib/TabCtrl.h"

#include <vector>

class CPropertySheet : public CWnd {
  DECLARE_DYNAMIC(CPropertySheet)

 public:
  CPropertySheet();
  explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  ~CPropertySheet() override;

  // The header the sheet is made from; flags such as PSH_NOAPPLYNOW go into m_psh.dwFlags. The
  // layer fills in the pages, the caption, the owner and PSH_MODELESS.
  PROPSHEETHEADERA m_psh;

  void AddPage(CPropertyPage* pPage);
  void RemovePage(CPropertyPage* pPage);
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* GetPage(int nPage) const { return m_pages.at(static_cast<size_t>(nPage)); }
  int GetPageIndex(CPropertyPage* pPage) const;
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const;
  BOOL SetActivePage(int nPage);
  BOOL SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }
  void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);
  CTabCtrl* GetTabControl() const;
  // Presses one of the sheet's buttons (PSBTN_OK, PSBTN_CANCEL, PSBTN_APPLYNOW ...).
  BOOL PressButton(int nButton) {
    return static_cast<BOOL>(SendMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(nButton)));
  }

  // IDOK or IDCANCEL; -1 when the sheet could not be made.
  virtual INT_PTR DoModal();
  virtual BOOL OnInitDialog();

  BOOL PreTranslateMessage(MSG* pMsg) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  CWnd* m_pParentWnd = nullptr;

 protected:
  HWND FindModalOwner() const;
  // True while the sheet is up and has a current page.
  BOOL IsShowingPage() const;

  std::vector<CPropertyPage*> m_pages;
  std::vector<PROPSHEETPAGEA> m_pageHeaders;  // what m_psh points at while the sheet exists
  CString m_strCaption;
  UINT m_nStartPage = 0;
  int m_nModalResult = IDCANCEL;
  mutable CTabCtrl m_tabCtrl;  // a second view of the tab window, for GetTabControl
};
