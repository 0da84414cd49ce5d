#include "RecursiveLock.h"

#include <new>

RecursiveLock::RecursiveLock() {
  freeEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!freeEvent) throw std::bad_alloc();
  InitializeCriticalSection(&guard);
}

RecursiveLock::~RecursiveLock() {
  DeleteCriticalSection(&guard);
  CloseHandle(freeEvent);
}

bool RecursiveLock::Lock(DWORD timeout) {
  const DWORD self = GetCurrentThreadId();
  const ULONGLONG start = GetTickCount64();
  EnterCriticalSection(&guard);
  while (count > 0 && owner != self) {
    DWORD wait = INFINITE;
    if (timeout != INFINITE) {
      const ULONGLONG spent = GetTickCount64() - start;
      if (spent >= timeout) {
        LeaveCriticalSection(&guard);
        return false;
      }
      wait = static_cast<DWORD>(timeout - spent);
    }
    // Reset while the guard is held: the holder can only set it after this, so no wake-up is lost.
    ResetEvent(freeEvent);
    ++waiters;
    LeaveCriticalSection(&guard);
    const DWORD result = WaitForSingleObject(freeEvent, wait);
    EnterCriticalSection(&guard);
    --waiters;
    if (result == WAIT_FAILED) {
      LeaveCriticalSection(&guard);
      return false;
    }
  }
  owner = self;
  ++count;
  LeaveCriticalSection(&guard);
  return true;
}

void RecursiveLock::Unlock() {
  EnterCriticalSection(&guard);
  if (count > 0 && owner == GetCurrentThreadId()) {
    if (--count == 0) {
      owner = 0;
      if (waiters > 0) SetEvent(freeEvent);
    }
  }
  LeaveCriticalSection(&guard);
}

int RecursiveLock::GetCount() const { return count; }

bool RecursiveLock::IsHeldByCurrentThread() const { return count > 0 && owner == GetCurrentThreadId(); }
