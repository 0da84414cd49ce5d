#include "BarcodeWedge.h"

#include "BarcodeEvents.h"
#include "SarnelEXE.h"

#include <cctype>
#include <cstring>
#include <memory>

namespace {

constexpr char CodeLetters[] = "SIORDPCT";  // in the order of the collecting states

std::unique_ptr<BCEvent> MakeEvent(int state, const char* data) {
  switch (state - BarcodeWedge::FirstCode) {
    case 0:
      return std::make_unique<BCSubjectEvent>(data);
    case 1:
      return std::make_unique<BCImageEvent>(data);
    case 2:
      return std::make_unique<BCOrderEvent>(data);
    case 3:
      return std::make_unique<BCRetouchEvent>(data);
    case 4:
      return std::make_unique<BCDetailsEvent>(data);
    case 5:
      return std::make_unique<BCPoseEvent>(data);
    case 6:
      return std::make_unique<BCCommandEvent>(data);
    default:
      return std::make_unique<BCTicketEvent>(data);
  }
}

bool IsCollecting(int state) { return state >= BarcodeWedge::FirstCode && state <= BarcodeWedge::LastCode; }

}  // namespace

BarcodeWedge& GetBarcodeWedge() {
  static BarcodeWedge wedge;
  return wedge;
}

void CALLBACK BarcodeTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  // A tick of a timer already replaced (its message was queued before the kill) changes nothing.
  if (id != 0 && id == GetBarcodeWedge().GetTimerId()) GetBarcodeWedge().OnTimer();
}

void BarcodeWedge::SetHooks(Hooks replacement) {
  StopTimer();
  Reset();
  hooks = std::move(replacement);
}

void BarcodeWedge::StopTimer() {
  if (timerId == 0) return;
  if (hooks.stopTimer)
    hooks.stopTimer(timerId);
  else
    ::KillTimer(nullptr, timerId);
  timerId = 0;
}

void BarcodeWedge::RestartTimer() {
  StopTimer();
  timerId =
      hooks.startTimer ? hooks.startTimer(InterKeyMs) : ::SetTimer(nullptr, 0, InterKeyMs, &BarcodeTimerProc);
}

// Sent, not posted: the character does not pass the pre-translation again, so the decoder never
// sees it twice. With no focus window it is lost.
void BarcodeWedge::GiveBack(UINT ch, LPARAM keyData) {
  HWND focus = hooks.focusWindow ? hooks.focusWindow() : ::GetFocus();
  if (focus == nullptr) return;
  if (hooks.sendChar)
    hooks.sendChar(focus, ch, keyData);
  else
    ::SendMessageA(focus, WM_CHAR, ch, keyData);
}

void BarcodeWedge::Reset() {
  state = Idle;
  text.Empty();
}

void BarcodeWedge::FinishCode() {
  StopTimer();
  const int finished = state;
  const CString data = text;
  Reset();
  std::unique_ptr<BCEvent> event = MakeEvent(finished, data);
  if (hooks.fire)
    hooks.fire(event.get());
  else if (CSarnelEXE* app = GetSarnelApp())
    app->FireEvent(event.get());
}

bool BarcodeWedge::OnChar(UINT ch, LPARAM keyData) {
  if (state != Idle) StopTimer();
  switch (state) {
    case Idle:
      if (ch != '/') return false;
      slashKeyData = keyData;
      state = Slash;
      break;
    case Slash:
      if (ch != '%') {
        Reset();
        GiveBack('/', slashKeyData);
        return false;
      }
      percentKeyData = keyData;
      state = SlashPercent;
      break;
    case SlashPercent: {
      const char* letter = ch < 0x80 ? strchr(CodeLetters, std::toupper(static_cast<int>(ch))) : nullptr;
      if (letter == nullptr || ch == 0) {
        Reset();
        GiveBack('/', slashKeyData);
        GiveBack('%', percentKeyData);
        return false;
      }
      state = FirstCode + static_cast<int>(letter - CodeLetters);
      break;
    }
    default: {
      text += static_cast<char>(ch);
      // A new prefix without Enter: once the data is long enough, "/%" begins the next code.
      if (text.GetLength() > 5 && text.Right(2) == "/%") {
        text = text.Left(text.GetLength() - 2);
        const LPARAM slash = slashKeyData;
        const LPARAM percent = percentKeyData;
        FinishCode();
        OnChar('/', slash);
        OnChar('%', percent);
      }
      break;
    }
  }
  RestartTimer();
  return true;
}

bool BarcodeWedge::OnEnter(UINT virtualKey) {
  if (!IsCollecting(state) || virtualKey != VK_RETURN) return false;
  FinishCode();
  return true;
}

void BarcodeWedge::OnTimer() {
  StopTimer();
  const int expired = state;
  const LPARAM slash = slashKeyData;
  const LPARAM percent = percentKeyData;
  Reset();
  if (expired == Slash) {
    GiveBack('/', slash);
  } else if (expired == SlashPercent) {
    GiveBack('/', slash);
    GiveBack('%', percent);
  }
}
