#include "classlib/Frame.h"

#include "classlib/App.h"
#include "classlib/CmdUI.h"
#include "classlib/ControlBars.h"
#include "classlib/DataExchange.h"
#include "classlib/Document.h"
#include "classlib/View.h"

#include "FloatingBarWnd.h"

#include <vector>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_CLOSE()
  ON_WM_SIZE()
  ON_WM_SETFOCUS()
  ON_WM_ERASEBKGND()
  ON_WM_INITMENUPOPUP()
  ON_WM_MENUSELECT()
  ON_MESSAGE(WM_EXITMENULOOP, &CFrameWnd::OnExitMenuLoop)
  ON_MESSAGE(WM_SETMESSAGESTRING, &CFrameWnd::OnSetMessageString)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, &CFrameWnd::OnIdleUpdateCmdUI)
  ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, &CFrameWnd::OnUpdateControlBarMenu)
  ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, &CFrameWnd::OnUpdateControlBarMenu)
  ON_COMMAND_EX(ID_VIEW_STATUS_BAR, &CFrameWnd::OnBarCheck)
  ON_COMMAND_EX(ID_VIEW_TOOLBAR, &CFrameWnd::OnBarCheck)
END_MESSAGE_MAP()

CFrameWnd* CWnd::GetParentFrame() const {
  if (m_hWnd == nullptr) return nullptr;
  for (HWND hWnd = ::GetParent(m_hWnd); hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return static_cast<CFrameWnd*>(pWnd);
  }
  return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const {
  CFrameWnd* pFrame = nullptr;
  if (m_hWnd != nullptr && const_cast<CWnd*>(this)->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
    pFrame = static_cast<CFrameWnd*>(const_cast<CWnd*>(this));
  else
    pFrame = GetParentFrame();
  while (pFrame != nullptr) {
    CFrameWnd* pParent = pFrame->GetParentFrame();
    if (pParent == nullptr) break;
    pFrame = pParent;
  }
  return pFrame;
}

CFrameWnd::~CFrameWnd() {
  if (m_hMenuDefault != nullptr && (m_hWnd == nullptr || ::GetMenu(m_hWnd) != m_hMenuDefault))
    ::DestroyMenu(m_hMenuDefault);
  m_hMenuDefault = nullptr;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (cs.lpszClass == nullptr) {
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                                       ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDHelp)));
  }
  cs.style |= WS_CLIPCHILDREN;
  return TRUE;
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext) {
  HMENU hMenu = nullptr;
  if (lpszMenuName != nullptr) {
    hMenu = ::LoadMenuA(AfxGetResourceHandle(), lpszMenuName);
    if (hMenu == nullptr) return FALSE;
  }
  m_strTitle = lpszWindowName;
  // The frame styles are the frame's own business; the window gets the rest.
  m_bAddToTitle = AfxBool((dwStyle & FWS_ADDTOTITLE) != 0);
  dwStyle &= ~(FWS_ADDTOTITLE | FWS_PREFIXTITLE | FWS_SNAPTOBARS);
  HWND hWndParent = AfxSafeHwnd(pParentWnd);
  if ((dwStyle & WS_CHILD) != 0) {
    if (hMenu != nullptr) ::DestroyMenu(hMenu);
    hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST));
  }
  if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                rect.right - rect.left, rect.bottom - rect.top, hWndParent, hMenu, pContext)) {
    if ((dwStyle & WS_CHILD) == 0 && hMenu != nullptr) ::DestroyMenu(hMenu);
    return FALSE;
  }
  return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                          CCreateContext* pContext) {
  m_nIDHelp = nIDResource;
  CString title;
  title.LoadString(nIDResource);
  // The title string may carry more fields after a line break; the first is the title.
  int newline = title.Find('\n');
  if (newline >= 0) title = title.Left(newline);
  m_strTitle = title;
  LPCTSTR menuName = ::FindResourceA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource),
                                     reinterpret_cast<LPCSTR>(RT_MENU)) != nullptr
                         ? MAKEINTRESOURCEA(nIDResource)
                         : nullptr;
  if (!Create(nullptr, title, dwDefaultStyle, rectDefault, pParentWnd, menuName, 0, pContext)) return FALSE;
  m_hMenuDefault = ::GetMenu(m_hWnd);
  m_hAccelTable = ::LoadAcceleratorsA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
  OnUpdateFrameTitle(m_bAddToTitle);
  RecalcLayout();
  return TRUE;
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
  CString title = m_strTitle;
  CDocument* pDoc = GetActiveDocument();
  if (bAddToTitle && pDoc != nullptr && !pDoc->GetTitle().IsEmpty())
    title = pDoc->GetTitle() + " - " + m_strTitle;
  CString current;
  GetWindowText(current);
  if (current != title) SetWindowText(title);
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs) {
  auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
  if (!OnCreateClient(lpcs, pContext)) return -1;
  return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) {
  if (pContext != nullptr && pContext->m_pNewViewClass != nullptr) {
    CWnd* pView = CreateView(pContext, AFX_IDW_PANE_FIRST);
    if (pView == nullptr) return FALSE;
  }
  return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
  CObject* pObject = pContext->m_pNewViewClass->CreateObject();
  auto* pView = AfxDynamicDownCast<CWnd>(RUNTIME_CLASS(CWnd), pObject);
  if (pView == nullptr) {
    delete pObject;
    return nullptr;
  }
  // A view deletes itself when its window goes (PostNcDestroy), also when creation fails.
  if (!pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, CRect(0, 0, 0, 0), this, nID,
                     pContext))
    return nullptr;
  if (pView->IsKindOf(RUNTIME_CLASS(CView)) && m_pViewActive == nullptr)
    SetActiveView(static_cast<CView*>(pView), FALSE);
  return pView;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify) {
  CView* pViewOld = m_pViewActive;
  if (pViewOld == pViewNew) return;
  m_pViewActive = pViewNew;
  if (bNotify && pViewOld != nullptr) pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
  if (bNotify && pViewNew != nullptr) pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument() {
  return m_pViewActive != nullptr ? m_pViewActive->GetDocument() : nullptr;
}

void CFrameWnd::ActivateFrame(int nCmdShow) {
  if (nCmdShow == -1) nCmdShow = IsIconic() ? SW_RESTORE : SW_SHOW;
  ShowWindow(nCmdShow);
  BringWindowToTop();
  RecalcLayout();
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  // The active view first (it passes on to its document), then the frame, then the application.
  CView* pView = m_pViewActive;
  if (pView != nullptr && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  CWinApp* pApp = AfxGetApp();
  return pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
    HACCEL hAccel = GetDefaultAccelerator();
    if (hAccel != nullptr && ::TranslateAcceleratorA(m_hWnd, hAccel, pMsg)) return TRUE;
  }
  return FALSE;
}

void CFrameWnd::RecalcLayout(BOOL) {
  if (m_hWnd == nullptr) return;
  RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST);
}

void CFrameWnd::OnSize(UINT nType, int, int) {
  Default();
  if (nType != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnSetFocus(CWnd*) {
  if (m_pViewActive != nullptr && m_pViewActive->m_hWnd != nullptr) {
    m_pViewActive->SetFocus();
  } else {
    Default();
  }
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC) {
  // The view covers the client area; erasing under it only flickers.
  if (m_pViewActive != nullptr && m_pViewActive->m_hWnd != nullptr) return TRUE;
  return CWnd::OnEraseBkgnd(pDC);
}

void CFrameWnd::OnClose() { DestroyWindow(); }

void CFrameWnd::OnDestroy() {
  m_pViewActive = nullptr;
  // Floating bars' windows are owned by the top-level window, which may outlive this frame.
  for (CFloatingBarWnd* floating : CFloatingBarWnd::OfFrame(this)) floating->DestroyWindow();
  Default();
}

void CFrameWnd::PostNcDestroy() { delete this; }

namespace {

// The item being updated in an open menu.
class CMenuCmdUI : public CCmdUI {};

}  // namespace

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu) {
  if (bSysMenu || pPopupMenu == nullptr) return;
  CMenuCmdUI state;
  state.m_pMenu = pPopupMenu;
  state.m_nIndexMax = static_cast<UINT>(pPopupMenu->GetMenuItemCount());
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = pPopupMenu->GetMenuItemID(static_cast<int>(state.m_nIndex));
    if (state.m_nID == 0) continue;  // separator
    if (state.m_nID == static_cast<UINT>(-1)) {
      // A submenu: it is updated when it opens.
      continue;
    }
    state.m_pSubMenu = nullptr;
    state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
    // The update may have added or removed items (the recent-file list does).
    state.m_nIndexMax = static_cast<UINT>(pPopupMenu->GetMenuItemCount());
  }
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu) {
  if (nFlags == 0xFFFF && hSysMenu == nullptr) {
    SetMessageText(AFX_IDS_IDLEMESSAGE);
  } else if ((nFlags & (MF_POPUP | MF_SEPARATOR)) == 0 && nItemID != 0) {
    SetMessageText(nItemID);
  } else {
    SetMessageText(AFX_IDS_IDLEMESSAGE);
  }
}

LRESULT CFrameWnd::OnExitMenuLoop(WPARAM, LPARAM) {
  SetMessageText(AFX_IDS_IDLEMESSAGE);
  return 0;
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
  if (wParam != 0) {
    SetMessageText(static_cast<UINT>(wParam));
  } else {
    SetMessageText(reinterpret_cast<LPCTSTR>(lParam));
  }
  return 0;
}

CWnd* CFrameWnd::GetMessageBar() { return GetDlgItem(AFX_IDW_STATUS_BAR); }

void CFrameWnd::SetMessageText(LPCTSTR lpszText) {
  CWnd* pBar = GetMessageBar();
  if (pBar == nullptr) return;
  CWnd* pPermanent = FromHandlePermanent(pBar->m_hWnd);
  if (pPermanent != nullptr && pPermanent->IsKindOf(RUNTIME_CLASS(CStatusBar))) {
    static_cast<CStatusBar*>(pPermanent)->SetPaneText(0, lpszText != nullptr ? lpszText : "");
  } else {
    pBar->SetWindowText(lpszText);
  }
}

void CFrameWnd::SetMessageText(UINT nID) {
  CString text = nID == AFX_IDS_IDLEMESSAGE ? AfxLayerString(nID) : CString();
  if (nID != AFX_IDS_IDLEMESSAGE) {
    text.LoadString(nID);
    int newline = text.Find('\n');
    if (newline >= 0) text = text.Left(newline);
  }
  m_nIDLastMessage = nID;
  SetMessageText(text);
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  // Only a frame that asked for the document's name in its title gets it at idle time.
  if (m_bAddToTitle) OnUpdateFrameTitle(TRUE);
  // Floating bars are no descendants of any frame; their frame brings them the idle update.
  for (CFloatingBarWnd* floating : CFloatingBarWnd::OfFrame(this))
    floating->SendMessageToDescendants(WM_IDLEUPDATECMDUI, wParam, 0, TRUE, TRUE);
  return 0;
}

namespace {

// The frame's bars: those along its edges, then the floating ones.
std::vector<CControlBar*> BarsOf(const CFrameWnd* frame) {
  std::vector<CControlBar*> bars;
  for (HWND child = ::GetWindow(frame->m_hWnd, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    CWnd* window = CWnd::FromHandlePermanent(child);
    if (window != nullptr && window->IsKindOf(RUNTIME_CLASS(CControlBar)))
      bars.push_back(static_cast<CControlBar*>(window));
  }
  for (CFloatingBarWnd* floating : CFloatingBarWnd::OfFrame(frame))
    if (CControlBar* bar = floating->GetBar()) bars.push_back(bar);
  return bars;
}

// Shows or hides a bar, and a floating bar's tool window with it.
void ShowBar(CControlBar* bar, BOOL show) {
  bar->ShowWindow(show ? SW_SHOWNOACTIVATE : SW_HIDE);
  if (CFloatingBarWnd* floating = CFloatingBarWnd::Of(bar)) floating->Follow(show);
}

}  // namespace

CControlBar* CFrameWnd::GetControlBar(UINT nID) {
  for (CControlBar* bar : BarsOf(this))
    if (static_cast<UINT>(bar->GetDlgCtrlID()) == nID) return bar;
  return nullptr;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI) {
  CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
  if (pBar == nullptr) {
    pCmdUI->ContinueRouting();
    return;
  }
  pCmdUI->SetCheck(pBar->IsWindowVisible() ? 1 : 0);
}

BOOL CFrameWnd::OnBarCheck(UINT nID) {
  CControlBar* pBar = GetControlBar(nID);
  if (pBar == nullptr) return FALSE;
  ShowControlBar(pBar, !pBar->IsWindowVisible(), FALSE);
  return TRUE;
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT, LPCRECT) {
  if (CFloatingBarWnd* floating = CFloatingBarWnd::Of(pBar)) {
    floating->ReturnBar();
    pBar->SetBarStyle(pBar->GetBarStyle() & ~CBRS_FLOATING);
  }
  RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle) {
  if (pBar == nullptr || pBar->m_hWnd == nullptr || m_hWnd == nullptr) return;
  const BOOL horizontal = (dwStyle & CBRS_ORIENT_VERT) == 0;
  if (CFloatingBarWnd* floating = CFloatingBarWnd::Of(pBar)) {
    floating->Place(point, horizontal);
    return;
  }
  if (CFloatingBarWnd::Float(this, pBar, point, horizontal) == nullptr) return;
  pBar->SetBarStyle(pBar->GetBarStyle() | CBRS_FLOATING);
  RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL) {
  if (pBar == nullptr || pBar->m_hWnd == nullptr) return;
  ShowBar(pBar, bShow);
  RecalcLayout();
}

// Only the bars' visibility is kept: one section per bar, the profile name followed by "Bar" and
// the bar's id, with "Visible" 0 or 1. A bar without a stored value keeps its state.
namespace {
CString BarSection(LPCTSTR profileName, int id) {
  CString section;
  section.Format("%sBar%d", profileName, id);
  return section;
}
}  // namespace

void CFrameWnd::LoadBarState(LPCTSTR profileName) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr || profileName == nullptr || m_hWnd == nullptr) return;
  bool changed = false;
  for (CControlBar* bar : BarsOf(this)) {
    const int visible =
        static_cast<int>(app->GetProfileInt(BarSection(profileName, bar->GetDlgCtrlID()), "Visible", -1));
    if (visible != 0 && visible != 1) continue;
    if ((bar->IsWindowVisible() != FALSE) == (visible == 1)) continue;
    ShowBar(bar, visible == 1 ? TRUE : FALSE);
    changed = true;
  }
  if (changed) RecalcLayout();
}

void CFrameWnd::SaveBarState(LPCTSTR profileName) const {
  CWinApp* app = AfxGetApp();
  if (app == nullptr || profileName == nullptr || m_hWnd == nullptr) return;
  for (CControlBar* bar : BarsOf(this))
    app->WriteProfileInt(BarSection(profileName, bar->GetDlgCtrlID()), "Visible",
                         bar->IsWindowVisible() ? 1 : 0);
}
