// CColorDialog: the system's colour dialog. DoModal goes through AfxChooseColor, which a test can
// replace (see ColorDialogScript.h). The custom colours are shared by every colour dialog of the
// process.
#pragma once

#include "classlib/Dialog.h"

#include <commdlg.h>

class CColorDialog : public CDialog {
  DECLARE_DYNAMIC(CColorDialog)

 public:
  explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);

  CHOOSECOLORA m_cc;

  // IDOK or IDCANCEL; -1 when the dialog failed (AfxCommDlgExtendedError tells why).
  INT_PTR DoModal() override;
  COLORREF GetColor() const { return m_cc.rgbResult; }
  void SetCurrentColor(COLORREF clr) { m_cc.rgbResult = clr; }
  static COLORREF* GetSavedCustomColors();

 protected:
  void OnOK() override {}
  void OnCancel() override {}
};

// The one function every colour dialog goes through: same contract as ChooseColorA.
BOOL AfxChooseColor(CHOOSECOLORA* pcc);
typedef BOOL (*AFX_CHOOSECOLOR_HANDLER)(CHOOSECOLORA* pcc);
// Replaces the colour dialog for the whole process (nullptr restores the real one).
AFX_CHOOSECOLOR_HANDLER AfxSetChooseColorHandler(AFX_CHOOSECOLOR_HANDLER handler);

#include "classlib/ColorDialogScript.h"
