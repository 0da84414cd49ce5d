#include "classlib/CmdUI.h"

#include "classlib/CmdTarget.h"
#include "classlib/Menu.h"
#include "classlib/Wnd.h"

namespace afxmsg {
void UpdateBegin(CCmdUI* pCmdUI) { pCmdUI->m_bContinueRouting = FALSE; }
BOOL UpdateResult(CCmdUI* pCmdUI) {
  BOOL handled = !pCmdUI->m_bContinueRouting;
  pCmdUI->m_bContinueRouting = FALSE;
  return handled;
}
}  // namespace afxmsg

void CCmdUI::Enable(BOOL bOn) {
  if (m_pMenu != nullptr) {
    if (m_pSubMenu == nullptr)
      m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
  } else if (m_pOther != nullptr) {
    HWND hWnd = AfxSafeHwnd(m_pOther);
    // A control losing its enabled state while it has the focus hands the focus on first.
    if (!bOn && ::GetFocus() == hWnd && ::GetParent(hWnd) != nullptr)
      ::SendMessage(::GetParent(hWnd), WM_NEXTDLGCTL, 0, FALSE);
    ::EnableWindow(hWnd, bOn);
  }
  m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck) {
  if (m_pMenu != nullptr) {
    if (m_pSubMenu == nullptr)
      m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
  } else if (m_pOther != nullptr) {
    HWND hWnd = AfxSafeHwnd(m_pOther);
    if (::SendMessage(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) ::SendMessage(hWnd, BM_SETCHECK, nCheck, 0);
  }
}

void CCmdUI::SetRadio(BOOL bOn) {
  SetCheck(bOn ? 1 : 0);
  if (m_pMenu != nullptr && m_pSubMenu == nullptr) {
    MENUITEMINFOA info = {sizeof(info)};
    info.fMask = MIIM_FTYPE;
    if (::GetMenuItemInfoA(AfxSafeHmenu(m_pMenu), m_nIndex, TRUE, &info)) {
      info.fType = bOn ? (info.fType | MFT_RADIOCHECK) : (info.fType & ~MFT_RADIOCHECK);
      ::SetMenuItemInfoA(AfxSafeHmenu(m_pMenu), m_nIndex, TRUE, &info);
    }
  }
}

void CCmdUI::SetText(LPCTSTR lpszText) {
  if (m_pMenu != nullptr) {
    if (m_pSubMenu != nullptr) return;
    UINT state = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, lpszText);
  } else if (m_pOther != nullptr) {
    m_pOther->SetWindowText(lpszText);
  }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  if (m_nID == 0 || pTarget == nullptr) return TRUE;
  m_bEnableChanged = FALSE;
  BOOL handled = pTarget->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, nullptr);
  if (!handled && bDisableIfNoHndler && !m_bEnableChanged) {
    AFX_CMDHANDLERINFO info = {nullptr, nullptr};
    if (!pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info)) Enable(FALSE);
  }
  m_bContinueRouting = FALSE;
  return handled;
}
