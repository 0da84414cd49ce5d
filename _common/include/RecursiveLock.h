// A lock that one thread may take several times; other threads wait until its last Unlock.
#pragma once

#include <windows.h>

class RecursiveLock {
 public:
  RecursiveLock();
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;
  ~RecursiveLock();

  // True when the calling thread now holds the lock (once more); false when the timeout passed or
  // the wait failed, and then nothing changed.
  bool Lock(DWORD timeout = INFINITE);
  // Gives back one taking of the calling thread; ignored from a thread that does not hold the lock.
  void Unlock();

  // For diagnostics and tests: how often the owner holds it, and whether the calling thread does.
  int GetCount() const;
  bool IsHeldByCurrentThread() const;

 private:
  // The guard is held only for a few instructions, and the event is touched only when a thread
  // waits: an uncontended Lock and Unlock stay in the process (the job's lists are asked
  // thousands of times while a view is built, and a kernel object per call made that slow).
  CRITICAL_SECTION guard;
  HANDLE freeEvent;  // manual reset; set when the lock comes free while someone waits
  DWORD owner = 0;
  int count = 0;
  int waiters = 0;
};

class ScopedRecursiveLock {
 public:
  explicit ScopedRecursiveLock(RecursiveLock& lock, DWORD timeout = INFINITE)
      : lock(&lock), locked(lock.Lock(timeout)) {}
  ScopedRecursiveLock(const ScopedRecursiveLock&) = delete;
  ScopedRecursiveLock& operator=(const ScopedRecursiveLock&) = delete;
  ~ScopedRecursiveLock() {
    if (locked) lock->Unlock();
  }
  bool IsLocked() const { return locked; }

 private:
  RecursiveLock* lock;
  bool locked;
};
