#include "classlib/Wnd.h"

#include "classlib/App.h"
#include "classlib/CmdUI.h"
#include "classlib/DataExchange.h"
#include "classlib/Exception.h"
#include "classlib/Gdi.h"
#include "classlib/Prompt.h"
#include "CreateHook.h"
#include "ThreadState.h"

#include <exception>
#include <memory>
#include <vector>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace {

const char kSuperProperty[] = "ClassLib.SuperProc";

UINT PaintErrorMessage() {
  static const UINT message = ::RegisterWindowMessageA("ClassLib.ReportPaintError");
  return message;
}

void SetTempHandle(CWnd* pWnd, HWND hWnd) { pWnd->m_hWnd = hWnd; }

WNDPROC StoredSuper(HWND hWnd) { return reinterpret_cast<WNDPROC>(::GetPropA(hWnd, kSuperProperty)); }

// Takes the window out of the object: the map entry first, then our procedure.
void DetachAfterDestroy(CWnd* pWnd, HWND hWnd) {
  auto& map = AfxGetThreadState().permanentWindows;
  auto it = map.find(hWnd);
  if (it != map.end() && it->second == pWnd) map.erase(it);
  ::RemovePropA(hWnd, kSuperProperty);
}

// A failure nobody will report: a library exception, thrown as a pointer, is deleted with it.
void DropPaintFailure(HWND hWnd) {
  auto& pending = AfxGetThreadState().pendingPaintFailures;
  auto it = pending.find(hWnd);
  if (it == pending.end()) return;
  std::exception_ptr failure = it->second;
  pending.erase(it);
  try {
    std::rethrow_exception(failure);
  } catch (CException* e) {
    e->Delete();
  } catch (...) {
  }
}

void ReportPaintFailure(HWND hWnd) {
  auto& pending = AfxGetThreadState().pendingPaintFailures;
  auto it = pending.find(hWnd);
  if (it == pending.end()) return;
  std::exception_ptr failure = it->second;
  pending.erase(it);
  try {
    std::rethrow_exception(failure);
  } catch (...) {
    AfxReportCaughtException();
  }
}

}  // namespace

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
  AfxThreadState& state = AfxGetThreadState();
  if (code == HCBT_CREATEWND && state.pWndInit != nullptr) {
    CWnd* pWnd = state.pWndInit;
    state.pWndInit = nullptr;
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    try {
      pWnd->Attach(hWnd);
      pWnd->PreSubclassWindow();
      auto old = reinterpret_cast<WNDPROC>(
          ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
      if (old != &AfxWndProc) {
        pWnd->m_pfnSuper = old;
        ::SetPropA(hWnd, kSuperProperty, reinterpret_cast<HANDLE>(old));
      }
    } catch (...) {
      AfxReportCaughtException();
    }
  }
  return ::CallNextHookEx(state.hHookCreate, code, wParam, lParam);
}

CWndCreateHook::CWndCreateHook(CWnd* pWnd) {
  AfxThreadState& state = AfxGetThreadState();
  if (state.nHookDepth++ == 0)
    state.hHookCreate = ::SetWindowsHookExA(WH_CBT, &AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
  state.pWndInit = pWnd;
}

CWndCreateHook::~CWndCreateHook() {
  AfxThreadState& state = AfxGetThreadState();
  state.pWndInit = nullptr;
  if (--state.nHookDepth == 0 && state.hHookCreate != nullptr) {
    ::UnhookWindowsHookEx(state.hHookCreate);
    state.hHookCreate = nullptr;
  }
}

HWND AfxSafeHwnd(const CWnd* pWnd) { return pWnd != nullptr ? pWnd->m_hWnd : nullptr; }

const MSG* AfxGetCurrentMessage() { return &AfxGetThreadState().lastSentMsg; }

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == PaintErrorMessage() && message != 0) {
    ReportPaintFailure(hWnd);
    return 0;
  }
  // A report still waiting dies with its window.
  if (message == WM_NCDESTROY) DropPaintFailure(hWnd);
  CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
  if (pWnd == nullptr) {
    // The object has gone; the window keeps its own behaviour.
    WNDPROC super = StoredSuper(hWnd);
    if (message == WM_NCDESTROY) ::RemovePropA(hWnd, kSuperProperty);
    return super != nullptr ? ::CallWindowProcA(super, hWnd, message, wParam, lParam)
                            : ::DefWindowProcA(hWnd, message, wParam, lParam);
  }
  return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  AfxThreadState& state = AfxGetThreadState();
  MSG saved = state.lastSentMsg;
  state.lastSentMsg.hwnd = hWnd;
  state.lastSentMsg.message = message;
  state.lastSentMsg.wParam = wParam;
  state.lastSentMsg.lParam = lParam;

  LRESULT result = 0;
  {
    try {
      result = pWnd->WindowProc(message, wParam, lParam);
    } catch (...) {
      if (message == WM_PAINT) {
        // Never report inside the paint: validate so the paint does not repeat, and tell the
        // user once, later.
        ::ValidateRect(hWnd, nullptr);
        if (!pWnd->m_bPaintErrorReported) {
          pWnd->m_bPaintErrorReported = TRUE;
          // The failure waits with the thread, not in the message: a window destroyed before the
          // message arrives must not leave it behind.
          state.pendingPaintFailures[hWnd] = std::current_exception();
          if (!::PostMessageA(hWnd, PaintErrorMessage(), 0, 0)) DropPaintFailure(hWnd);
        } else {
          try {
            throw;
          } catch (CException* e) {
            e->Delete();
          } catch (...) {
          }
        }
      } else {
        AfxReportCaughtException();
      }
      result = message == WM_CREATE ? -1 : 0;
    }
  }

  if (message == WM_NCDESTROY) {
    // The window is gone: detach before anything else, then let the object go.
    DetachAfterDestroy(pWnd, hWnd);
    if (pWnd->m_hWnd == hWnd) pWnd->m_hWnd = nullptr;
    pWnd->m_pfnSuper = nullptr;
    CWinThread* pThread = AfxGetThread();
    if (pThread != nullptr && pThread->m_pMainWnd == pWnd) {
      pThread->m_pMainWnd = nullptr;
      ::PostQuitMessage(0);
    }
    try {
      pWnd->PostNcDestroy();
    } catch (...) {
      AfxReportCaughtException();
    }
  }
  state.lastSentMsg = saved;
  return result;
}

CWnd::~CWnd() {
  if (m_hWnd == nullptr) return;
  HWND hWnd = m_hWnd;
  DropPaintFailure(hWnd);
  // The object is going: the window must not call into it any more.
  auto& map = AfxGetThreadState().permanentWindows;
  auto it = map.find(hWnd);
  bool permanent = it != map.end() && it->second == this;
  if (permanent) map.erase(it);
  m_hWnd = nullptr;
  if (!permanent || !::IsWindow(hWnd)) return;
  if (m_pfnSuper != nullptr &&
      reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) == &AfxWndProc) {
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    ::RemovePropA(hWnd, kSuperProperty);
  }
  ::DestroyWindow(hWnd);
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  CWnd* pWnd = FromHandlePermanent(hWnd);
  if (pWnd != nullptr) return pWnd;
  return AfxGetThreadState().temporaries.Get<CWnd, HWND, &SetTempHandle>(hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  auto& map = AfxGetThreadState().permanentWindows;
  auto it = map.find(hWnd);
  return it != map.end() ? it->second : nullptr;
}

BOOL CWnd::Attach(HWND hWndNew) {
  if (hWndNew == nullptr || m_hWnd != nullptr) return FALSE;
  AfxGetThreadState().permanentWindows[hWndNew] = this;
  m_hWnd = hWndNew;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd != nullptr) {
    auto& map = AfxGetThreadState().permanentWindows;
    auto it = map.find(hWnd);
    if (it != map.end() && it->second == this) map.erase(it);
  }
  m_hWnd = nullptr;
  return hWnd;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (cs.lpszClass == nullptr) {
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  }
  return TRUE;
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, AfxSafeHwnd(pParentWnd),
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x,
                    int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
  // One object, one window: a second window would leave the first attached to nothing.
  if (m_hWnd != nullptr) return FALSE;
  CREATESTRUCTA cs = {};
  cs.dwExStyle = dwExStyle;
  cs.lpszClass = lpszClassName;
  cs.lpszName = lpszWindowName;
  cs.style = dwStyle;
  cs.x = x;
  cs.y = y;
  cs.cx = nWidth;
  cs.cy = nHeight;
  cs.hwndParent = hWndParent;
  cs.hMenu = nIDorHMenu;
  cs.hInstance = AfxGetInstanceHandle();
  cs.lpCreateParams = lpParam;
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  HWND hWnd;
  {
    CWndCreateHook hook(this);
    hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                             cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  }
  return hWnd != nullptr ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow() {
  if (m_hWnd == nullptr) return FALSE;
  HWND hWnd = m_hWnd;
  if (FromHandlePermanent(hWnd) != this) {
    // A temporary or detached object destroys the window without touching the object.
    Detach();
  }
  return ::DestroyWindow(hWnd);
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  auto old = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
  if (old == &AfxWndProc) {
    old = StoredSuper(hWnd);
  } else {
    ::SetPropA(hWnd, kSuperProperty, reinterpret_cast<HANDLE>(old));
  }
  m_pfnSuper = old;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  HWND hWndControl = ::GetDlgItem(AfxSafeHwnd(pParent), static_cast<int>(nID));
  return hWndControl != nullptr ? SubclassWindow(hWndControl) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  if (m_hWnd == nullptr) return nullptr;
  if (m_pfnSuper != nullptr) {
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    ::RemovePropA(m_hWnd, kSuperProperty);
  }
  m_pfnSuper = nullptr;
  return Detach();
}

void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper != nullptr) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  const MSG* msg = AfxGetCurrentMessage();
  return DefWindowProc(msg->message, msg->wParam, msg->lParam);
}

namespace {

// The control a parent's message is about, for the messages a control may handle itself.
HWND ControlOfMessage(HWND hWndParent, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
      return dis != nullptr && dis->CtlType != ODT_MENU ? dis->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
      return mis != nullptr && mis->CtlType != ODT_MENU
                 ? ::GetDlgItem(hWndParent, static_cast<int>(mis->CtlID))
                 : nullptr;
    }
    case WM_COMPAREITEM:
      return reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam)->hwndItem;
    case WM_DELETEITEM:
      return reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)->hwndItem;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<HWND>(lParam);
    default:
      (void)wParam;
      return nullptr;
  }
}

bool IsCtlColor(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

}  // namespace

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      *pResult = 1;
      return TRUE;
    }
    return FALSE;
  }
  if (message == WM_NOTIFY) {
    auto* nmhdr = reinterpret_cast<NMHDR*>(lParam);
    LRESULT result = 0;
    if (nmhdr != nullptr && OnNotify(wParam, lParam, &result)) {
      *pResult = result;
      return TRUE;
    }
    return FALSE;
  }
  HWND hWndControl = ControlOfMessage(m_hWnd, message, wParam, lParam);
  if (hWndControl != nullptr && hWndControl != m_hWnd &&
      SendChildNotify(hWndControl, message, wParam, lParam, pResult))
    return TRUE;

  const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(IsCtlColor(message) ? WM_CTLCOLOR : message);
  if (entry == nullptr) return FALSE;
  AFX_MSGCALL call = {message, wParam, lParam, 0, 0, nullptr};
  entry->pfn(this, call);
  *pResult = call.result;
  return TRUE;
}

namespace {

// Asks the route whether a menu or accelerator command is enabled now.
class CTestCmdUI : public CCmdUI {
 public:
  BOOL m_bEnabled = TRUE;
  void Enable(BOOL bOn) override {
    m_bEnabled = bOn;
    m_bEnableChanged = TRUE;
  }
  void SetCheck(int) override {}
  void SetRadio(BOOL) override {}
  void SetText(LPCTSTR) override {}
};

}  // namespace

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT nID = LOWORD(wParam);
  HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
  int nCode = HIWORD(wParam);
  if (hWndCtrl == nullptr) {
    if (nID == 0) return FALSE;
    // A disabled command does nothing, even when its accelerator is pressed.
    CTestCmdUI state;
    state.m_nID = nID;
    OnCmdMsg(nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr);
    if (!state.m_bEnabled) return TRUE;
    nCode = CN_COMMAND;
  } else {
    LRESULT ignored = 0;
    if (SendChildNotify(hWndCtrl, WM_COMMAND, wParam, lParam, &ignored)) return TRUE;
    if (nID == 0) return FALSE;
  }
  return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
  auto* nmhdr = reinterpret_cast<NMHDR*>(lParam);
  if (nmhdr->hwndFrom != nullptr && nmhdr->hwndFrom != m_hWnd &&
      SendChildNotify(nmhdr->hwndFrom, WM_NOTIFY, nmhdr->idFrom, lParam, pResult))
    return TRUE;
  AFX_NOTIFY notify = {pResult, nmhdr};
  return OnCmdMsg(static_cast<UINT>(nmhdr->idFrom), static_cast<int>(MAKELONG(nmhdr->code, WM_NOTIFY)),
                  &notify, nullptr);
}

BOOL CWnd::SendChildNotify(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  CWnd* pChild = FromHandlePermanent(hWndChild);
  if (pChild == nullptr) return FALSE;
  return pChild->OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  AFX_MSGCALL call = {message, wParam, lParam, 0, 0, nullptr};
  if (message == WM_COMMAND) {
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0);
    if (entry == nullptr) return FALSE;
    call.nID = LOWORD(wParam);
    BOOL handled = entry->pfn(this, call);
    if (handled && pResult != nullptr) *pResult = 1;
    return handled;
  }
  if (message == WM_NOTIFY) {
    auto* nmhdr = reinterpret_cast<NMHDR*>(lParam);
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_REFLECT_BASE + WM_NOTIFY, nmhdr->code, 0);
    if (entry == nullptr) return FALSE;
    LRESULT result = 0;
    AFX_NOTIFY notify = {&result, nmhdr};
    call.nID = static_cast<UINT>(nmhdr->idFrom);
    call.pExtra = &notify;
    BOOL handled = entry->pfn(this, call);
    if (handled && pResult != nullptr) *pResult = result;
    return handled;
  }
  const AFX_MSGMAP_ENTRY* entry =
      FindMessageEntry(WM_REFLECT_BASE + (IsCtlColor(message) ? WM_CTLCOLOR : message));
  if (entry == nullptr) return FALSE;
  BOOL handled = entry->pfn(this, call);
  if (handled && pResult != nullptr) *pResult = call.result;
  return handled;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg)) return TRUE;
    if (hWnd == hWndStop) break;
    if ((::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD) == 0) break;  // stop at the top-level window
  }
  return FALSE;
}

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

CWnd* CWnd::GetOwner() const {
  if (m_hWndOwner != nullptr) return FromHandle(m_hWndOwner);
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  return FromHandle(owner != nullptr ? owner : ::GetParent(m_hWnd));
}

CWnd* CWnd::GetTopLevelParent() const {
  if (m_hWnd == nullptr) return nullptr;
  HWND hWnd = m_hWnd;
  while ((::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD) != 0) {
    HWND parent = ::GetParent(hWnd);
    if (parent == nullptr) break;
    hWnd = parent;
  }
  return FromHandle(hWnd);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm) {
  std::vector<HWND> children;
  for (HWND child = ::GetTopWindow(m_hWnd); child != nullptr; child = ::GetNextWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  for (HWND child : children) {
    if (!::IsWindow(child)) continue;
    if (!bOnlyPerm || FromHandlePermanent(child) != nullptr) ::SendMessageA(child, message, wParam, lParam);
    if (bDeep && ::GetTopWindow(child) != nullptr) {
      CWnd* pChild = FromHandle(child);
      pChild->SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
    }
  }
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
  // The standard insert-after values (HWND_TOP, HWND_BOTTOM ...) arrive as fake object pointers.
  HWND after = reinterpret_cast<HWND>(const_cast<CWnd*>(pWndInsertAfter));
  auto raw = reinterpret_cast<INT_PTR>(pWndInsertAfter);
  if (raw > 1 || raw < -2) after = pWndInsertAfter->m_hWnd;
  return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, nFlags);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  CRect area;
  HWND reference = pAlternateOwner != nullptr ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
  if ((GetStyle() & WS_CHILD) != 0) reference = ::GetParent(m_hWnd);
  if (reference != nullptr && ::IsWindowVisible(reference) && !::IsIconic(reference)) {
    ::GetWindowRect(reference, &area);
    if ((GetStyle() & WS_CHILD) != 0) {
      ::GetClientRect(reference, &area);
    }
  } else {
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  }
  CRect rect;
  GetWindowRect(&rect);
  int x = area.left + (area.Width() - rect.Width()) / 2;
  int y = area.top + (area.Height() - rect.Height()) / 2;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::InvalidateRgn(CRgn* pRgn, BOOL bErase) {
  ::InvalidateRgn(m_hWnd, static_cast<HRGN>(AfxSafeGdiHandle(pRgn)), bErase);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags) {
  return ::RedrawWindow(m_hWnd, lpRectUpdate, static_cast<HRGN>(AfxSafeGdiHandle(prgnUpdate)), flags);
}

CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
int CWnd::ReleaseDC(CDC* pDC) { return ::ReleaseDC(m_hWnd, AfxSafeHdc(pDC)); }

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
  ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(AfxSafeGdiHandle(pFont)), bRedraw);
}

CFont* CWnd::GetFont() const {
  auto hFont = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
  return hFont != nullptr ? CFont::FromHandle(hFont) : nullptr;
}

void CWnd::GetWindowText(CString& rString) const {
  int length = ::GetWindowTextLengthA(m_hWnd);
  char* buffer = rString.GetBuffer(length + 1);
  int got = ::GetWindowTextA(m_hWnd, buffer, length + 1);
  rString.ReleaseBuffer(got);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  rString.Empty();
  HWND hWnd = ::GetDlgItem(m_hWnd, nID);
  if (hWnd != nullptr) FromHandle(hWnd)->GetWindowText(rString);
  return rString.GetLength();
}

BOOL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, GWL_STYLE));
  DWORD newStyle = (style & ~dwRemove) | dwAdd;
  if (style == newStyle) return FALSE;
  ::SetWindowLongPtrA(hWnd, GWL_STYLE, static_cast<LONG_PTR>(newStyle));
  if (nFlags != 0)
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

BOOL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, GWL_EXSTYLE));
  DWORD newStyle = (style & ~dwRemove) | dwAdd;
  if (style == newStyle) return FALSE;
  ::SetWindowLongPtrA(hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(newStyle));
  if (nFlags != 0)
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask) const {
  lpScrollInfo->cbSize = sizeof(SCROLLINFO);
  lpScrollInfo->fMask = nMask;
  return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw) {
  lpScrollInfo->cbSize = sizeof(SCROLLINFO);
  ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
  return TRUE;
}

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
BOOL CWnd::SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, AfxSafeHmenu(pMenu)); }
CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
  return AfxPrompt(m_hWnd, lpszText, lpszCaption != nullptr ? lpszCaption : AfxGetAppName(), nType);
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (CUserException* e) {
    // The field has been reported and focused already.
    e->Delete();
    return FALSE;
  }
  return TRUE;
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  for (HWND child = ::GetTopWindow(m_hWnd); child != nullptr; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
    int id = ::GetDlgCtrlID(child);
    if (id == 0 || id == 0xFFFF || id == -1) continue;
    CCmdUI state;
    state.m_nID = static_cast<UINT>(id);
    state.m_pOther = FromHandle(child);
    // Only push buttons are disabled for want of a handler; fields and check boxes stay as they are.
    BOOL disable = bDisableIfNoHndler;
    if (disable) {
      LRESULT code = ::SendMessageA(child, WM_GETDLGCODE, 0, 0);
      DWORD type = static_cast<DWORD>(::GetWindowLongPtrA(child, GWL_STYLE)) & 0x0F;
      bool pushButton = (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0 ||
                        ((code & DLGC_BUTTON) != 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON));
      if (!pushButton) disable = FALSE;
    }
    state.DoUpdate(pTarget, disable);
  }
}
