// CDialog: a dialog from a template, modal or modeless. A modal dialog runs this layer's own loop
// (with the application's pre-translation chain and idle processing), not the system's, so
// keyboard filters see what is typed into it.
#pragma once

#include "classlib/Wnd.h"

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

 public:
  CDialog() = default;
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // Creates, shows and runs the dialog; returns the EndDialog result, or -1 (showing nothing)
  // when the template is missing.
  virtual INT_PTR DoModal();
  // Modeless.
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  BOOL CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd = nullptr);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  void EndDialog(int nResult);
  void GotoDlgCtrl(CWnd* pWndCtrl);
  void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
  void PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
  void SetDefID(UINT nID) { ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0); }
  DWORD GetDefID() const { return static_cast<DWORD>(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0)); }
  void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

  BOOL PreTranslateMessage(MSG* pMsg) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // The modal loop: runs until EndDialog (or WM_QUIT, which it posts again).
  virtual int RunModalLoop();
  BOOL ContinueModal() const { return m_bContinueModal; }
  BOOL IsModal() const { return m_bModal; }

  LPCTSTR m_lpszTemplateName = nullptr;
  UINT m_nIDHelp = 0;
  CWnd* m_pParentWnd = nullptr;

 protected:
  // The resource template, or null when the module has none of that name.
  LPCDLGTEMPLATEA LoadTemplate() const;
  // The window that owns a modal dialog: the parent's top-level window, else the main window.
  HWND FindModalOwner() const;
  BOOL CreateFromTemplate(LPCDLGTEMPLATEA lpTemplate, HWND hWndParent);

  int m_nModalResult = -1;
  BOOL m_bModal = FALSE;
  BOOL m_bContinueModal = FALSE;

  DECLARE_MESSAGE_MAP()
};
