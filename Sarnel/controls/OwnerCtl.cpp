#include "OwnerCtl.h"

#include "AppEventBus.h"
#include "EventSource.h"

#include "classlib/PaintDC.h"
#include "classlib/ClientDC.h"

#include <commctrl.h>

BOOL COwnerCtl::RegisterWindowClass() {
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = AfxGetInstanceHandle();
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kWindowClass;
  return AfxRegisterClass(&wc);
}

COwnerCtl::COwnerCtl(COwnerCtlOwner* owner) : ctlOwner(owner) { GetAppEventSource()->Subscribe(this); }

// Leaves the bus before the derived parts are gone, so no idle event reaches a half-destroyed control.
COwnerCtl::~COwnerCtl() { UnsubscribeAll(); }

BOOL COwnerCtl::AttachDlgItem(UINT id, CWnd* parent) {
  if (!SubclassDlgItem(id, parent)) return FALSE;
  OnAttached();
  return TRUE;
}

void COwnerCtl::InvalidateClient() {
  if (m_hWnd != nullptr) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void COwnerCtl::Redraw() { InvalidateClient(); }

void COwnerCtl::RedrawNow() {
  if (m_hWnd == nullptr) return;
  CClientDC dc(this);
  CRect client;
  GetClientRect(&client);
  if (ctlOwner != nullptr)
    ctlOwner->OwnerDraw(this, &dc, client, client);
  else
    Draw(&dc, client, client);
}

UINT_PTR COwnerCtl::RedrawLater(UINT delayMs) {
  if (delayedRepaintTimer != 0) {
    KillTimer(delayedRepaintTimer);
    delayedRepaintTimer = 0;
  }
  // The member's address is unique to this control among the timers of its window.
  delayedRepaintTimer = SetTimer(reinterpret_cast<UINT_PTR>(&delayedRepaintTimer), delayMs);
  return delayedRepaintTimer;
}

void COwnerCtl::Draw(CDC*, const CRect&, const CRect&) {}
void COwnerCtl::LButtonDown(UINT, int, int) {}
void COwnerCtl::LButtonUp(UINT, int, int) {}
void COwnerCtl::LButtonDblClk(UINT, int, int) {}
void COwnerCtl::RButtonDown(UINT, int, int) {}
void COwnerCtl::RButtonUp(UINT, int, int) {}
void COwnerCtl::RButtonDblClk(UINT, int, int) {}
void COwnerCtl::MouseMove(UINT, int, int) {}
void COwnerCtl::MouseWheel(UINT, short, int, int) {}
void COwnerCtl::KeyDown(UINT, UINT, UINT) {}
void COwnerCtl::KeyUp(UINT, UINT, UINT) {}
void COwnerCtl::Char(UINT, UINT, UINT) {}
void COwnerCtl::FocusGained(CWnd*) {}
void COwnerCtl::FocusLost(CWnd*) {}
void COwnerCtl::OnTimer(UINT_PTR) { Default(); }
void COwnerCtl::OnAttached() {}

int COwnerCtl::OnEvent(EventSource*, Event*) { return 0; }

void COwnerCtl::NotifyParent(int code) {
  HWND parent = ::GetParent(m_hWnd);
  if (parent == nullptr) return;
  NMHDR header = {};
  header.hwndFrom = m_hWnd;
  header.idFrom = static_cast<UINT_PTR>(::GetWindowLongPtrA(m_hWnd, GWLP_ID));
  header.code = static_cast<UINT>(code);
  ::SendMessageA(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

BEGIN_MESSAGE_MAP(COwnerCtl, CWnd)
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
  ON_WM_RBUTTONUP()
  ON_WM_RBUTTONDBLCLK()
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSEWHEEL()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_CHAR()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_MESSAGE(WM_TIMER, &COwnerCtl::OnTimerMessage)
  ON_WM_ENABLE()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

void COwnerCtl::OnPaint() {
  if (delayedRepaintTimer != 0) {
    KillTimer(delayedRepaintTimer);
    delayedRepaintTimer = 0;
    InvalidateClient();
  }
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  if (ctlOwner != nullptr)
    ctlOwner->OwnerDraw(this, &dc, client, client);
  else
    Draw(&dc, client, client);
}

// The button-up messages carry the common controls' double-click codes; parents rely on exactly these.
void COwnerCtl::OnLButtonDown(UINT flags, CPoint point) {
  NotifyParent(NM_CLICK);
  if (ctlOwner != nullptr)
    ctlOwner->OwnerLButtonDown(this, flags, point.x, point.y);
  else
    LButtonDown(flags, point.x, point.y);
}

void COwnerCtl::OnLButtonUp(UINT flags, CPoint point) {
  NotifyParent(NM_DBLCLK);
  if (ctlOwner != nullptr)
    ctlOwner->OwnerLButtonUp(this, flags, point.x, point.y);
  else
    LButtonUp(flags, point.x, point.y);
}

void COwnerCtl::OnLButtonDblClk(UINT flags, CPoint point) {
  if (ctlOwner != nullptr)
    ctlOwner->OwnerLButtonDblClk(this, flags, point.x, point.y);
  else
    LButtonDblClk(flags, point.x, point.y);
}

void COwnerCtl::OnRButtonDown(UINT flags, CPoint point) {
  NotifyParent(NM_RCLICK);
  if (ctlOwner != nullptr)
    ctlOwner->OwnerRButtonDown(this, flags, point.x, point.y);
  else
    RButtonDown(flags, point.x, point.y);
}

void COwnerCtl::OnRButtonUp(UINT flags, CPoint point) {
  NotifyParent(NM_RDBLCLK);
  if (ctlOwner != nullptr)
    ctlOwner->OwnerRButtonUp(this, flags, point.x, point.y);
  else
    RButtonUp(flags, point.x, point.y);
}

void COwnerCtl::OnRButtonDblClk(UINT flags, CPoint point) {
  if (ctlOwner != nullptr)
    ctlOwner->OwnerRButtonDblClk(this, flags, point.x, point.y);
  else
    RButtonDblClk(flags, point.x, point.y);
}

void COwnerCtl::OnMouseMove(UINT flags, CPoint point) {
  if (ctlOwner != nullptr)
    ctlOwner->OwnerMouseMove(this, flags, point.x, point.y);
  else
    MouseMove(flags, point.x, point.y);
}

// The wheel always goes to the control itself, owner or not.
BOOL COwnerCtl::OnMouseWheel(UINT flags, short delta, CPoint point) {
  MouseWheel(flags, delta, point.x, point.y);
  return TRUE;
}

void COwnerCtl::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (ctlOwner != nullptr)
    ctlOwner->OwnerKeyDown(this, key, repeat, flags);
  else
    KeyDown(key, repeat, flags);
}

void COwnerCtl::OnKeyUp(UINT key, UINT repeat, UINT flags) {
  if (ctlOwner != nullptr)
    ctlOwner->OwnerKeyUp(this, key, repeat, flags);
  else
    KeyUp(key, repeat, flags);
}

void COwnerCtl::OnChar(UINT ch, UINT repeat, UINT flags) {
  if (ctlOwner != nullptr)
    ctlOwner->OwnerChar(this, ch, repeat, flags);
  else
    Char(ch, repeat, flags);
}

void COwnerCtl::OnSetFocus(CWnd* previous) { FocusGained(previous); }

void COwnerCtl::OnKillFocus(CWnd* next) { FocusLost(next); }

LRESULT COwnerCtl::OnTimerMessage(WPARAM wParam, LPARAM) {
  const UINT_PTR id = static_cast<UINT_PTR>(wParam);
  if (delayedRepaintTimer != 0 && id == delayedRepaintTimer) {
    KillTimer(delayedRepaintTimer);
    delayedRepaintTimer = 0;
    InvalidateClient();
    return 0;
  }
  OnTimer(id);
  return 0;
}

void COwnerCtl::OnEnable(BOOL) {
  Default();
  InvalidateClient();
}

// Painting covers the whole client area, so erasing would only flicker.
BOOL COwnerCtl::OnEraseBkgnd(CDC*) { return TRUE; }

void COwnerCtl::OnSize(UINT, int, int) {}

UINT COwnerCtl::OnGetDlgCode() { return DLGC_WANTARROWS; }
