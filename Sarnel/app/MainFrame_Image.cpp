#include "MainFrame_Image.h"

#include "ColorManagementDlg.h"
#include "ColorManagementSettings.h"

#include "BusyIndicator.h"
#include "ChildFrame.h"
#include "HandlerFrame.h"
#include "MenuResources.h"
#include "ProductionFrame.h"
#include "SplashWnd.h"
#include "TheDocument.h"
#include "WindowState.h"

#include <shellapi.h>

IMPLEMENT_DYNAMIC(CMainFrame_Image, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame_Image, CMainFrame_x<CFrameWnd>)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_WM_TIMER()
  ON_WM_CLOSE()
  ON_COMMAND(ID_APP_ABOUT, &CMainFrame_Image::OnAppAbout)
  ON_COMMAND(ID_HELP_MANUAL, &CMainFrame_Image::OnManual)
  ON_COMMAND(ID_HELP_QUICK_START, &CMainFrame_Image::OnQuickStart)
  ON_UPDATE_COMMAND_UI(ID_APP_EXIT, &CMainFrame_Image::OnUpdateAppExit)
  ON_COMMAND(ID_MAIN_SCREEN, &CMainFrame_Image::OnMainScreen)
  ON_COMMAND(ID_COLOR_MANAGEMENT, &CMainFrame_Image::OnColorManagement)
  ON_UPDATE_COMMAND_UI(ID_MAIN_SCREEN, &CMainFrame_Image::OnUpdateMainScreen)
END_MESSAGE_MAP()

namespace {

CMainFrame_Image* busySwitchTarget = nullptr;

}  // namespace

CMainFrame_Image::CMainFrame_Image(CTheDocument* document) : CMainFrame_x<CFrameWnd>(document) {
  screens[0] = new CProductionFrame(document);
}

CMainFrame_Image::~CMainFrame_Image() {
  if (busySwitchTarget == this) {
    busySwitchTarget = nullptr;
    CBusyIndicator::SetUserInterfaceSwitch(nullptr);
  }
  for (CChildFrame*& screen : screens) {
    if (screen != nullptr && screen->m_hWnd != nullptr) screen->DestroyWindow();
    delete screen;
    screen = nullptr;
  }
}

CChildFrame* CMainFrame_Image::GetScreen(int screen) const {
  return screen >= 1 && screen <= 2 ? screens[screen - 1] : nullptr;
}

bool CMainFrame_Image::LoadMainFrame() {
  if (!LoadFrame(IDR_MAINFRAME, FrameStyle, nullptr, nullptr)) return false;
  // The frame's own menu resource is only a placeholder: each screen brings its own.
  HMENU placeholder = ::GetMenu(m_hWnd);
  ::SetMenu(m_hWnd, nullptr);
  if (placeholder != nullptr) ::DestroyMenu(placeholder);
  m_hMenuDefault = nullptr;
  SwitchScreen(1);
  deleteWithWindow = true;
  return true;
}

void CMainFrame_Image::PostNcDestroy() {
  // Before the frame was fully made, whoever created it deletes it.
  if (deleteWithWindow) delete this;
}

BOOL CMainFrame_Image::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CMainFrame_x<CFrameWnd>::PreCreateWindow(cs)) return FALSE;
  cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
  return TRUE;
}

BOOL CMainFrame_Image::OnCreateClient(LPCREATESTRUCT, CCreateContext*) {
  // The screens take the place of a view; they are made once the bars exist.
  return TRUE;
}

int CMainFrame_Image::OnCreate(LPCREATESTRUCT lpcs) {
  if (CFrameWnd::OnCreate(lpcs) == -1) return -1;

  WindowState& state = GetWindowState();
  if (state.HasPlacement()) {
    WINDOWPLACEMENT placement = state.placement;
    placement.length = sizeof(placement);
    placement.showCmd = SW_HIDE;
    SetWindowPlacement(&placement);
  } else {
    WINDOWPLACEMENT current = {};
    current.length = sizeof(current);
    if (GetWindowPlacement(&current)) state.placement = current;
  }

  EnableDocking(CBRS_ALIGN_ANY);
  static const UINT indicators[] = {ID_SEPARATOR};
  if (!statusBar.Create(this) || !statusBar.SetIndicators(indicators, 1)) return -1;

  CRect rect = GetScreenRect();
  if (screens[0] == nullptr || !screens[0]->Create(this, rect, FirstScreenId)) return -1;

  busySwitchTarget = this;
  CBusyIndicator::SetUserInterfaceSwitch(&CMainFrame_Image::SwitchUserInterface);
  return 0;
}

void CMainFrame_Image::SwitchUserInterface(BOOL busy) {
  if (busySwitchTarget != nullptr) busySwitchTarget->EnableUserInterface(busy);
}

CRect CMainFrame_Image::GetScreenRect() {
  CRect rect;
  RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rect);
  return rect;
}

void CMainFrame_Image::LayoutScreens() {
  RecalcLayout();
  CRect rect = GetScreenRect();
  for (CChildFrame* screen : screens) {
    if (screen != nullptr && screen->m_hWnd != nullptr)
      screen->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  }
}

void CMainFrame_Image::OnSize(UINT nType, int cx, int cy) {
  CFrameWnd::OnSize(nType, cx, cy);
  if (nType != SIZE_MINIMIZED) LayoutScreens();
}

void CMainFrame_Image::SwitchScreen(int screen) {
  if (screen == currentScreen || screen != 1) return;
  CChildFrame* next = screens[0];
  if (next == nullptr || next->m_hWnd == nullptr) return;
  if (activeScreen != nullptr) activeScreen->Deactivate();

  const UINT menuId = next->GetMenuResourceId();
  HMENU old = ::GetMenu(m_hWnd);
  if (old != nullptr) {
    ::SetMenu(m_hWnd, nullptr);
    ::DestroyMenu(old);
  }
  HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(menuId));
  if (menu != nullptr) {
    PruneMenu(::GetSubMenu(menu, 0), zvk::IsIcmAvailable());
    AppendMenuFromResource(menu, IDR_CHROMA_KEY_MENU);
    AppendMenuFromResource(menu, IDR_HELP_MENU);
    ::SetMenu(m_hWnd, menu);
  }
  screenAccelerators = ::LoadAcceleratorsA(AfxGetResourceHandle(), MAKEINTRESOURCEA(menuId));
  m_hAccelTable = screenAccelerators;

  currentScreen = screen;
  activeScreen = next;
  next->Activate();
  HWND focus = ::GetFocus();
  DWORD focusProcess = 0;
  if (focus != nullptr) ::GetWindowThreadProcessId(focus, &focusProcess);
  if (focus == nullptr || focusProcess != ::GetCurrentProcessId()) next->SetFocus();
}

void CMainFrame_Image::RestartIdleTimer() {
  if (m_hWnd == nullptr) return;
  if (idleTimerId != 0) KillTimer(idleTimerId);
  idleTimerId = SetTimer(CWinThread::kIdleTimerId, 100);
}

void CMainFrame_Image::OnTimer(UINT_PTR) {
  CSarnelEXE* app = GetSarnelApp();
  bool more = app != nullptr && app->FireIdleTimeEvent();
  if (!more && idleTimerId != 0) {
    KillTimer(idleTimerId);
    idleTimerId = 0;
  }
}

void CMainFrame_Image::EnableUserInterface(BOOL busyNow) {
  const bool value = busyNow != FALSE;
  if (value == busy) return;
  busy = value;
  if (HMENU system = ::GetSystemMenu(m_hWnd, FALSE))
    ::EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | (busy ? MF_GRAYED : MF_ENABLED));
  if (HMENU menu = ::GetMenu(m_hWnd)) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
      ::EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | (busy ? MF_GRAYED : MF_ENABLED));
    ::DrawMenuBar(m_hWnd);
  }
  if (screens[0] != nullptr && screens[0]->m_hWnd != nullptr) screens[0]->EnableWindow(!busy);
}

BOOL CMainFrame_Image::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (activeScreen != nullptr && activeScreen->m_hWnd != nullptr &&
      activeScreen->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
    return TRUE;
  for (CChildFrame* screen : screens) {
    if (screen != nullptr && screen != activeScreen && screen->m_hWnd != nullptr &&
        screen->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
      return TRUE;
  }
  return FALSE;
}

BOOL CMainFrame_Image::PreTranslateMessage(MSG* pMsg) {
  if (CFrameWnd::PreTranslateMessage(pMsg)) return TRUE;
  if (pMsg->message != WM_CHAR) return FALSE;
  // Characters reach only windows that take them (edit boxes); everything else works with
  // key-down messages alone.
  HWND focus = ::GetFocus();
  if (focus != nullptr) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(focus, &process);
    if (process == ::GetCurrentProcessId()) {
      LRESULT code = ::SendMessageA(focus, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(pMsg));
      if ((code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) != 0) return FALSE;
    }
  }
  return TRUE;
}

BOOL CMainFrame_Image::OnEraseBkgnd(CDC*) { return TRUE; }

void CMainFrame_Image::OnPaint() { ::ValidateRect(m_hWnd, nullptr); }

void CMainFrame_Image::OnClose() {
  if (document != nullptr && document->IsBusy()) return;
  CSarnelEXE* app = GetSarnelApp();
  if (app != nullptr && !app->CanExit()) return;
  // A job that cannot be closed (its save failed) keeps the program running, so nothing is lost.
  bool closed = true;
  if (document != nullptr && !RunInHandlerFrame([&] { closed = document->CloseJob(); })) closed = false;
  if (!closed) return;
  CFrameWnd::OnClose();
}

void CMainFrame_Image::OnDestroy() {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof(placement);
  if (GetWindowPlacement(&placement)) GetWindowState().placement = placement;
  if (idleTimerId != 0) {
    KillTimer(idleTimerId);
    idleTimerId = 0;
  }
  if (busySwitchTarget == this) {
    busySwitchTarget = nullptr;
    CBusyIndicator::SetUserInterfaceSwitch(nullptr);
  }
  CFrameWnd::OnDestroy();
}

void CMainFrame_Image::OnColorManagement() { zvk::ShowColorManagementDialog(this); }

void CMainFrame_Image::OnAppAbout() {
  CSplashWnd::ShowSplashScreen(false, this);
  CSplashWnd::WaitForClose();
}

void CMainFrame_Image::OnManual() {
  if (GetFileAttributesA(manualPath) != INVALID_FILE_ATTRIBUTES) {
    ShellExecuteA(nullptr, nullptr, manualPath, nullptr, nullptr, SW_SHOWNORMAL);
    return;
  }
  // The insert goes in as text; the system's message formatter would also turn each line break
  // into a carriage return and line feed.
  CString message;
  message.LoadString(IDS_MANUAL_MISSING);
  message.Replace("%1!s!", programFolder);
  AfxPrompt(m_hWnd, message, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION, IDS_MANUAL_MISSING);
}

void CMainFrame_Image::OnQuickStart() {
  if (GetFileAttributesA(quickStartPath) != INVALID_FILE_ATTRIBUTES)
    WinHelpA(m_hWnd, quickStartPath, HELP_FINDER, 0);
}

void CMainFrame_Image::OnUpdateAppExit(CCmdUI* pCmdUI) {
  pCmdUI->Enable(document == nullptr || !document->IsBusy());
}

void CMainFrame_Image::OnMainScreen() { SwitchScreen(1); }

void CMainFrame_Image::OnUpdateMainScreen(CCmdUI* pCmdUI) { pCmdUI->SetCheck(currentScreen == 1 ? 1 : 0); }
