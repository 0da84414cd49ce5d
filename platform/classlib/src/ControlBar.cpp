#include "classlib/ControlBars.h"

#include "classlib/App.h"
#include "classlib/CmdUI.h"
#include "classlib/Frame.h"
#include "CreateHook.h"
#include "FloatingBarWnd.h"

#include <vector>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, &CControlBar::OnIdleUpdateCmdUI)
  ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

DWORD CControlBar::SplitStyle(DWORD dwStyle) {
  m_dwStyle = dwStyle & CBRS_ALL;
  return dwStyle & ~CBRS_ALL;
}

CFrameWnd* CControlBar::GetDockingFrame() const {
  if (CFloatingBarWnd* floating = CFloatingBarWnd::Of(this)) return floating->GetFrame();
  return GetParentFrame();
}

BOOL CControlBar::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CWnd::OnCommand(wParam, lParam)) return TRUE;
  // What the bar's own map leaves goes the frame's way, as the idle update assumed it would.
  CFrameWnd* frame = GetDockingFrame();
  if (frame == nullptr || reinterpret_cast<HWND>(lParam) == nullptr) return FALSE;
  return frame->OnCmdMsg(LOWORD(wParam), HIWORD(wParam), nullptr, nullptr);
}

void CControlBar::OnShowWindow(BOOL bShow, UINT nStatus) {
  Default();
  // Only the bar's own showing and hiding moves its floating window, not an owner's.
  if (nStatus != 0) return;
  if (CFloatingBarWnd* floating = CFloatingBarWnd::Of(this)) floating->Follow(bShow);
}

CSize CControlBar::CalcFixedLayout(BOOL, BOOL) {
  CRect rect;
  GetWindowRect(&rect);
  return CSize(rect.Width(), rect.Height());
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  if (!IsWindowVisible()) return 0;
  CFrameWnd* pTarget = GetDockingFrame();
  if (pTarget == nullptr) {
    CWnd* pOwner = GetOwner();
    if (pOwner != nullptr && pOwner->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
      pTarget = static_cast<CFrameWnd*>(pOwner);
  }
  if (pTarget != nullptr) OnUpdateCmdUI(pTarget, static_cast<BOOL>(wParam));
  return 0;
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlags, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch) {
  CRect rest;
  if (lpRectClient != nullptr) {
    rest = *lpRectClient;
  } else {
    GetClientRect(&rest);
  }
  if ((nFlags & reposExtra) != 0 && lpRectParam != nullptr) {
    rest.left += lpRectParam->left;
    rest.top += lpRectParam->top;
    rest.right -= lpRectParam->right;
    rest.bottom -= lpRectParam->bottom;
  }
  std::vector<HWND> children;
  for (HWND child = ::GetTopWindow(m_hWnd); child != nullptr; child = ::GetNextWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  bool query = (nFlags & reposQuery) != 0;
  for (HWND child : children) {
    UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
    if (id < nIDFirst || id > nIDLast || id == nIDLeftOver || !::IsWindowVisible(child)) continue;
    CWnd* pWnd = FromHandlePermanent(child);
    if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CControlBar))) continue;
    auto* pBar = static_cast<CControlBar*>(pWnd);
    DWORD align = pBar->GetBarStyle() & CBRS_ALIGN_ANY;
    bool horizontal = (align & CBRS_ORIENT_HORZ) != 0 || align == 0;
    CSize size = pBar->CalcFixedLayout(bStretch, horizontal);
    CRect place = rest;
    if ((align & CBRS_ALIGN_BOTTOM) != 0) {
      place.top = place.bottom - size.cy;
      rest.bottom = place.top;
    } else if ((align & CBRS_ALIGN_LEFT) != 0) {
      place.right = place.left + size.cx;
      rest.left = place.right;
    } else if ((align & CBRS_ALIGN_RIGHT) != 0) {
      place.left = place.right - size.cx;
      rest.right = place.left;
    } else {
      place.bottom = place.top + size.cy;
      rest.top = place.bottom;
    }
    if (!query) ::MoveWindow(child, place.left, place.top, place.Width(), place.Height(), TRUE);
  }
  if (query) {
    if (lpRectParam != nullptr) *lpRectParam = rest;
    return;
  }
  if ((nFlags & reposNoPosLeftOver) != 0) return;
  HWND leftOver = ::GetDlgItem(m_hWnd, static_cast<int>(nIDLeftOver));
  if (leftOver != nullptr) ::MoveWindow(leftOver, rest.left, rest.top, rest.Width(), rest.Height(), TRUE);
}

// Dialog bars.

namespace {

INT_PTR CALLBACK DialogBarProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

BOOL CDialogBar::Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID) {
  return Create(pParentWnd, MAKEINTRESOURCEA(nIDTemplate), nStyle, nID);
}

BOOL CDialogBar::Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID) {
  HINSTANCE hInst = AfxGetResourceHandle();
  HRSRC resource = ::FindResourceA(hInst, lpszTemplateName, reinterpret_cast<LPCSTR>(RT_DIALOG));
  if (resource == nullptr) return FALSE;
  DWORD bytes = ::SizeofResource(hInst, resource);
  const void* data = ::LockResource(::LoadResource(hInst, resource));
  if (data == nullptr || bytes < sizeof(DLGTEMPLATE)) return FALSE;
  // The bar is a child of the frame whatever the template says.
  std::vector<BYTE> copy(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + bytes);
  auto* words = reinterpret_cast<WORD*>(copy.data());
  bool extended = words[0] == 1 && words[1] == 0xFFFF;
  auto* style = reinterpret_cast<DWORD*>(copy.data() + (extended ? 12 : 0));
  DWORD windowStyle = SplitStyle(nStyle);
  *style = (*style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | WS_VISIBLE)) |
           WS_CHILD | (windowStyle & WS_VISIBLE) | DS_CONTROL;
  HWND hWnd;
  {
    CWndCreateHook hook(this);
    hWnd = ::CreateDialogIndirectParamA(hInst, reinterpret_cast<LPCDLGTEMPLATEA>(copy.data()),
                                        AfxSafeHwnd(pParentWnd), &DialogBarProc, 0);
  }
  if (hWnd == nullptr) return FALSE;
  ::SetWindowLongPtrA(hWnd, GWLP_ID, static_cast<LONG_PTR>(nID));
  CRect rect;
  GetWindowRect(&rect);
  m_sizeDefault = CSize(rect.Width(), rect.Height());
  UpdateData(FALSE);
  return TRUE;
}

CSize CDialogBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  if (bStretch) return bHorz ? CSize(32767, m_sizeDefault.cy) : CSize(m_sizeDefault.cx, 32767);
  return m_sizeDefault;
}

void CDialogBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
  UpdateDialogControls(pTarget, bDisableIfNoHndler);
}
