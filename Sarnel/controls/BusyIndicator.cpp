#include "BusyIndicator.h"

#include "BusyDlg.h"
#include "BusyThread.h"

#include "resource.h"

#include <memory>
#include <vector>

namespace {

// The busy state of the process, used on the user-interface thread only.
struct BusyState {
  std::vector<BusyEntry> stack;
  bool shown = true;
  DWORD deadline = 0;
  int busyCount = 0;
  CBusyDlg mainDialog;
  CBusyThread* thread = nullptr;
  CBusyIndicator::UserInterfaceSwitch busySwitch = nullptr;
};

BusyState& State() {
  static BusyState state;
  return state;
}

// Tick counts wrap around: compare by the sign of the 32-bit difference.
bool AtOrPast(DWORD now, DWORD when) { return static_cast<int32_t>(now - when) >= 0; }

HWND WindowOf(CWnd& window) {
  HWND hwnd = window.GetSafeHwnd();
  return (hwnd != nullptr && ::IsWindow(hwnd)) ? hwnd : nullptr;
}

HWND LookUpDialog(BOOL ownThread) {
  BusyState& state = State();
  if (!ownThread) return WindowOf(state.mainDialog);
  return state.thread != nullptr ? WindowOf(state.thread->dialog) : nullptr;
}

HWND GetDialog(BOOL ownThread) {
  BusyState& state = State();
  if (!ownThread) {
    if (WindowOf(state.mainDialog) == nullptr) state.mainDialog.Create(IDD_BUSY, AfxGetMainWnd());
    return WindowOf(state.mainDialog);
  }
  if (state.thread == nullptr) {
    auto thread = std::make_unique<CBusyThread>();
    if (!thread->CreateThread()) return nullptr;
    state.thread = thread.release();
  }
  HANDLE handles[2] = {state.thread->m_hThread, state.thread->ready.m_hObject};
  DWORD waited = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
  if (waited == WAIT_OBJECT_0 + 1) return WindowOf(state.thread->dialog);
  if (waited == WAIT_OBJECT_0) ::WaitForSingleObject(state.thread->m_hThread, INFINITE);
  delete state.thread;
  state.thread = nullptr;
  return nullptr;
}

void SwitchUserInterface(BOOL busy) {
  BusyState& state = State();
  if (state.busySwitch != nullptr) state.busySwitch(busy);
  CWnd* main = AfxGetMainWnd();
  if (main != nullptr && ::IsWindow(AfxSafeHwnd(main))) ::UpdateWindow(AfxSafeHwnd(main));
}

}  // namespace

void CBusyIndicator::SetUserInterfaceSwitch(UserInterfaceSwitch busySwitch) {
  State().busySwitch = busySwitch;
}

int CBusyIndicator::GetBusyCount() { return State().busyCount; }

HWND CBusyIndicator::GetDialogWindow(BOOL ownThread) { return LookUpDialog(ownThread); }

DWORD CBusyIndicator::NestedDelay(bool& shown, DWORD& deadline, DWORD now, DWORD delayMs) {
  if (shown) return 0;
  if (delayMs == 0 || AtOrPast(now, deadline)) {
    shown = true;
    return 0;
  }
  if (static_cast<int32_t>(deadline - (now + delayMs)) < 0) return deadline - now;  // the earlier one stays
  deadline = now + delayMs;
  return delayMs;
}

CBusyIndicator::CBusyIndicator(LPCTSTR textSource, int delaySeconds, BOOL ownThread, BOOL cancellable) {
  BusyState& state = State();
  CString text;
  if (textSource != nullptr) {
    if (IS_INTRESOURCE(textSource))
      text.LoadString(static_cast<UINT>(reinterpret_cast<UINT_PTR>(textSource)));
    else
      text = textSource;
  }
  if (text.IsEmpty()) {
    ownThread = FALSE;
    cancellable = FALSE;
  }
  DWORD delayMs = static_cast<DWORD>(delaySeconds > 0 ? delaySeconds : 0) * 1000;

  bool push = !text.IsEmpty();
  if (!state.stack.empty()) {
    BusyEntry& top = state.stack.back();
    HWND topDialog = LookUpDialog(top.ownThread);
    if (topDialog != nullptr) {
      if (!top.cancelled)
        top.cancelled = static_cast<BOOL>(::SendMessageA(topDialog, WM_BUSY_QUERYCANCEL, 0, 0));
      if (::IsWindowVisible(topDialog)) {
        state.shown = true;
        delayMs = 0;
      }
    }
    if (text.IsEmpty() && top.ownThread) {
      // The outer text moves to the user-interface thread's dialog while this one runs.
      text = top.text;
      ownThread = FALSE;
      cancellable = FALSE;
      push = true;
    }
  }

  if (push) {
    HWND dialog = GetDialog(ownThread);
    if (dialog != nullptr) {
      BusyEntry entry;
      entry.text = text;
      entry.cancellable = cancellable;
      entry.cancelled = FALSE;
      entry.ownThread = ownThread;
      state.stack.push_back(entry);
      level = static_cast<int>(state.stack.size());
      const DWORD now = ::GetTickCount();
      DWORD send;
      if (state.stack.size() == 1) {
        state.shown = delayMs == 0;
        state.deadline = now + delayMs;
        send = delayMs;
      } else {
        send = NestedDelay(state.shown, state.deadline, now, delayMs);
      }
      ::SendMessageA(dialog, WM_BUSY_UPDATE, send, reinterpret_cast<LPARAM>(&state.stack.back()));
      HWND other = LookUpDialog(!ownThread);
      if (other != nullptr) ::SendMessageA(other, WM_BUSY_UPDATE, 0, 0);
    }
  }

  SwitchUserInterface(TRUE);
  ++state.busyCount;
}

CBusyIndicator::~CBusyIndicator() {
  BusyState& state = State();
  if (level != 0 && level <= static_cast<int>(state.stack.size())) {
    const bool wasTop = level == static_cast<int>(state.stack.size());
    state.stack[static_cast<size_t>(level - 1)].text.Empty();
    while (!state.stack.empty() && state.stack.back().text.IsEmpty()) state.stack.pop_back();

    if (wasTop && !state.stack.empty()) {
      BusyEntry& top = state.stack.back();
      HWND dialog = GetDialog(top.ownThread);
      if (dialog != nullptr) {
        DWORD send = 0;
        if (!state.shown) {
          const DWORD now = ::GetTickCount();
          if (AtOrPast(now, state.deadline))
            state.shown = true;
          else
            send = state.deadline - now;
        }
        ::SendMessageA(dialog, WM_BUSY_UPDATE, send, reinterpret_cast<LPARAM>(&top));
      }
      HWND other = LookUpDialog(!top.ownThread);
      if (other != nullptr) ::SendMessageA(other, WM_BUSY_UPDATE, 0, 0);
    }

    if (state.stack.empty()) {
      if (WindowOf(state.mainDialog) != nullptr) state.mainDialog.DestroyWindow();
      if (state.thread != nullptr) {
        if (::WaitForSingleObject(state.thread->m_hThread, 0) != WAIT_OBJECT_0)
          state.thread->PostThreadMessage(WM_QUIT, 0, 0);
        ::WaitForSingleObject(state.thread->m_hThread, INFINITE);
        delete state.thread;
        state.thread = nullptr;
      }
    }
  }
  if (--state.busyCount == 0)
    SwitchUserInterface(FALSE);
  else {
    CWnd* main = AfxGetMainWnd();
    if (main != nullptr && ::IsWindow(AfxSafeHwnd(main))) ::UpdateWindow(AfxSafeHwnd(main));
  }
}

BOOL CBusyIndicator::IsCancelled() const {
  BusyState& state = State();
  if (level == 0 || level > static_cast<int>(state.stack.size())) return FALSE;
  const BusyEntry& entry = state.stack[static_cast<size_t>(level - 1)];
  if (level == static_cast<int>(state.stack.size())) {
    HWND dialog = LookUpDialog(entry.ownThread);
    return dialog != nullptr ? static_cast<BOOL>(::SendMessageA(dialog, WM_BUSY_QUERYCANCEL, 0, 0)) : FALSE;
  }
  return entry.cancelled;
}
