#include "classlib/ColorDialog.h"

#include "classlib/FileDialog.h"

#include <atomic>

IMPLEMENT_DYNAMIC(CColorDialog, CDialog)

namespace {

BOOL RealChooseColor(CHOOSECOLORA* pcc) {
  BOOL ok = ::ChooseColorA(pcc);
  AfxSetCommDlgExtendedError(ok ? 0 : ::CommDlgExtendedError());
  return ok;
}

std::atomic<AFX_CHOOSECOLOR_HANDLER> g_chooseColorHandler{&RealChooseColor};

}  // namespace

BOOL AfxChooseColor(CHOOSECOLORA* pcc) { return g_chooseColorHandler.load()(pcc); }

AFX_CHOOSECOLOR_HANDLER AfxSetChooseColorHandler(AFX_CHOOSECOLOR_HANDLER handler) {
  return g_chooseColorHandler.exchange(handler != nullptr ? handler : &RealChooseColor);
}

COLORREF* CColorDialog::GetSavedCustomColors() {
  static COLORREF customColors[16] = {
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
  return customColors;
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : m_cc() {
  m_pParentWnd = pParentWnd;
  m_cc.lStructSize = sizeof(CHOOSECOLORA);
  m_cc.hInstance = reinterpret_cast<HWND>(AfxGetResourceHandle());
  m_cc.lpCustColors = GetSavedCustomColors();
  m_cc.Flags = dwFlags | CC_RGBINIT;
  m_cc.rgbResult = clrInit;
}

INT_PTR CColorDialog::DoModal() {
  m_cc.hwndOwner = FindModalOwner();
  AfxSetCommDlgExtendedError(0);
  if (AfxChooseColor(&m_cc)) return IDOK;
  return AfxCommDlgExtendedError() != 0 ? -1 : IDCANCEL;
}
