#include "ThreadState.h"

// A TLS slot rather than a thread_local object: the state must be released at a point we choose
// (the end of our own thread function), not by the runtime's thread-exit callbacks, which run
// too late for threads started with _beginthreadex.
namespace {
DWORD StateSlot() {
  static const DWORD slot = ::TlsAlloc();
  return slot;
}
}  // namespace

AfxThreadState& AfxGetThreadState() {
  auto* state = static_cast<AfxThreadState*>(::TlsGetValue(StateSlot()));
  if (state == nullptr) {
    state = new AfxThreadState;
    ::TlsSetValue(StateSlot(), state);
  }
  return *state;
}

void AfxFreeThreadState() {
  auto* state = static_cast<AfxThreadState*>(::TlsGetValue(StateSlot()));
  if (state == nullptr) return;
  ::TlsSetValue(StateSlot(), nullptr);
  delete state;
}
