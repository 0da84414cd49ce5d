#include "RecursiveLock.h"

#include <new>

RecursiveLock::RecursiveLock() {
  guard = CreateSemaphoreA(nullptr, 1, 1, nullptr);
  freeEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  if (!guard || !freeEvent) {
    if (guard) CloseHandle(guard);
    if (freeEvent) CloseHandle(freeEvent);
    throw std::bad_alloc();
  }
}

RecursiveLock::~RecursiveLock() {
  CloseHandle(freeEvent);
  CloseHandle(guard);
}

bool RecursiveLock::Lock(DWORD timeout) {
  if (WaitForSingleObject(guard, INFINITE) != WAIT_OBJECT_0) return false;
  DWORD self = GetCurrentThreadId();
  if (count > 0 && owner != self) {
    ReleaseSemaphore(guard, 1, nullptr);
    // Both at once: the guard for the fields and the free event for "nobody holds it".
    HANDLE both[2] = {guard, freeEvent};
    DWORD result = WaitForMultipleObjects(2, both, TRUE, timeout);
    if (result != WAIT_OBJECT_0 && result != WAIT_OBJECT_0 + 1) return false;
  }
  owner = self;
  ResetEvent(freeEvent);
  ++count;
  ReleaseSemaphore(guard, 1, nullptr);
  return true;
}

void RecursiveLock::Unlock() {
  if (WaitForSingleObject(guard, INFINITE) != WAIT_OBJECT_0) return;
  if (count > 0 && owner == GetCurrentThreadId()) {
    if (--count == 0) {
      owner = 0;
      SetEvent(freeEvent);
    }
  }
  ReleaseSemaphore(guard, 1, nullptr);
}

int RecursiveLock::GetCount() const { return count; }

bool RecursiveLock::IsHeldByCurrentThread() const { return count > 0 && owner == GetCurrentThreadId(); }
