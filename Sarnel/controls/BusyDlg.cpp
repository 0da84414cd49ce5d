#include "BusyDlg.h"

#include "resource.h"

namespace {
constexpr UINT_PTR ShowTimer = 1;
}

BEGIN_MESSAGE_MAP(CBusyDlg, CDialog)
  ON_MESSAGE(WM_BUSY_UPDATE, &CBusyDlg::OnBusyUpdate)
  ON_MESSAGE(WM_BUSY_QUERYCANCEL, &CBusyDlg::OnQueryCancel)
  ON_MESSAGE(WM_TIMER, &CBusyDlg::OnTimerMessage)
  ON_MESSAGE(WM_SETCURSOR, &CBusyDlg::OnSetCursorMessage)
END_MESSAGE_MAP()

BOOL CBusyDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  RECT client = {};
  ::GetClientRect(m_hWnd, &client);
  fullWidth = client.right - client.left;
  fullHeight = client.bottom - client.top;
  RECT button = {};
  HWND cancel = ::GetDlgItem(m_hWnd, IDCANCEL);
  if (cancel != nullptr) {
    ::GetWindowRect(cancel, &button);
    POINT topLeft = {button.left, button.top};
    ::ScreenToClient(m_hWnd, &topLeft);
    heightWithoutCancel = topLeft.y;
  } else {
    heightWithoutCancel = fullHeight;
  }
  cancelled = FALSE;
  return FALSE;  // the focus stays where it is
}

void CBusyDlg::OnCancel() {
  cancelled = TRUE;
  ::EnableWindow(::GetDlgItem(m_hWnd, IDCANCEL), FALSE);
}

LRESULT CBusyDlg::OnBusyUpdate(WPARAM delay, LPARAM entryParam) {
  const BusyEntry* entry = reinterpret_cast<const BusyEntry*>(entryParam);
  HWND cancel = ::GetDlgItem(m_hWnd, IDCANCEL);
  if (entry == nullptr) {
    ::SetDlgItemTextA(m_hWnd, IDC_BUSY_TEXT, "");
    ::EnableWindow(cancel, FALSE);
    ::KillTimer(m_hWnd, ShowTimer);
    cancelled = FALSE;
    ::ShowWindow(m_hWnd, SW_HIDE);
    ::UpdateWindow(m_hWnd);
    return 0;
  }
  ::SetDlgItemTextA(m_hWnd, IDC_BUSY_TEXT, entry->text);
  ::EnableWindow(cancel, entry->cancellable && !entry->cancelled);
  cancelled = entry->cancelled;

  // The window is sized so that its client area is the full width and, without Cancel, cut
  // just above the button.
  RECT window = {};
  RECT client = {};
  ::GetWindowRect(m_hWnd, &window);
  ::GetClientRect(m_hWnd, &client);
  const int frameWidth = (window.right - window.left) - (client.right - client.left);
  const int frameHeight = (window.bottom - window.top) - (client.bottom - client.top);
  const int height = entry->cancellable ? fullHeight : heightWithoutCancel;
  const bool hasOwner = ::GetParent(m_hWnd) != nullptr || ::GetWindow(m_hWnd, GW_OWNER) != nullptr;
  UINT flags = SWP_NOMOVE | SWP_NOACTIVATE;
  if (!hasOwner) flags |= SWP_NOZORDER;
  ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, fullWidth + frameWidth, height + frameHeight, flags);
  CenterWindow();
  if (delay != 0)
    ::SetTimer(m_hWnd, ShowTimer, static_cast<UINT>(delay), nullptr);
  else
    ShowNow();
  return 0;
}

LRESULT CBusyDlg::OnQueryCancel(WPARAM, LPARAM) { return cancelled ? 1 : 0; }

LRESULT CBusyDlg::OnTimerMessage(WPARAM id, LPARAM) {
  if (id == ShowTimer) {
    ::KillTimer(m_hWnd, ShowTimer);
    ShowNow();
  }
  return 0;
}

LRESULT CBusyDlg::OnSetCursorMessage(WPARAM window, LPARAM) {
  HWND over = reinterpret_cast<HWND>(window);
  const bool onEnabledChild = over != m_hWnd && over != nullptr && ::IsWindowEnabled(over);
  ::SetCursor(::LoadCursor(nullptr, onEnabledChild ? IDC_APPSTARTING : IDC_WAIT));
  return TRUE;
}

void CBusyDlg::ShowNow() {
  ::ShowWindow(m_hWnd, SW_SHOWNA);
  ::UpdateWindow(m_hWnd);
}
