// CPropertyPage: one page of a property sheet, a dialog from a child template. The sheet's
// notifications become virtual calls: activation refreshes the controls from the members,
// leaving the page exchanges and validates them (a failure keeps the page, with the field
// focused), OK applies every page that has been shown.
#pragma once

#include "classlib/Dialog.h"

#include <prsht.h>

class CPropertySheet;

// The dialog procedure of every page: attaches the page's object when the page is made.
INT_PTR CALLBACK AfxPropertyPageDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

class CPropertyPage : public CDialog {
  DECLARE_DYNAMIC(CPropertyPage)

 public:
  explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
  explicit CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);
  ~CPropertyPage() override;

  // What the sheet builds the page from; pfnDlgProc and lParam belong to the layer.
  PROPSHEETPAGEA m_psp;

  // Each returns whether the sheet may go on: show the page, leave it, close with its changes,
  // cancel.
  virtual BOOL OnSetActive();
  virtual BOOL OnKillActive();
  virtual BOOL OnApply();  // calls OnOK
  virtual void OnReset();  // calls OnCancel
  virtual BOOL OnQueryCancel();
  // OK and Cancel of the sheet, through OnApply and OnReset; the data has been exchanged already.
  void OnOK() override;
  void OnCancel() override;

  // Enables the sheet's Apply button (or not).
  void SetModified(BOOL bChanged = TRUE);
  CPropertySheet* GetParentSheet() const;

  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  CString m_strCaption;
  BOOL m_bFirstSetActive = TRUE;

  friend INT_PTR CALLBACK AfxPropertyPageDlgProc(HWND, UINT, WPARAM, LPARAM);
};
