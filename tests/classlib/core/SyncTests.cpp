#include "classlib/Sync.h"

#include <gtest/gtest.h>

#include <thread>

TEST(SyncTest, MultiLockWakesOnEventsAndOnPostedInput) {
  CEvent first;
  CEvent second(FALSE, TRUE);
  CSyncObject* objects[] = {&first, &second};
  CMultiLock lock(objects, 2);

  EXPECT_EQ(lock.Lock(0, FALSE, QS_ALLINPUT), static_cast<DWORD>(WAIT_TIMEOUT));

  second.SetEvent();
  EXPECT_EQ(lock.Lock(5000, FALSE, QS_ALLINPUT), static_cast<DWORD>(WAIT_OBJECT_0 + 1));
  EXPECT_TRUE(lock.IsLocked(1));
  EXPECT_FALSE(lock.IsLocked(0));
  lock.Unlock();
  second.ResetEvent();

  // Input posted to this thread by another thread while it waits.
  const DWORD self = GetCurrentThreadId();
  MSG drain;
  while (PeekMessageA(&drain, nullptr, 0, 0, PM_REMOVE)) {
  }
  std::thread poster([self] { PostThreadMessageA(self, WM_APP + 5, 0, 0); });
  DWORD result = lock.Lock(5000, FALSE, QS_ALLINPUT);
  poster.join();
  EXPECT_EQ(result, static_cast<DWORD>(WAIT_OBJECT_0 + 2));
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_APP + 5, WM_APP + 5, PM_REMOVE));

  // Waiting for all: an auto-reset event is consumed by the wait.
  first.SetEvent();
  second.SetEvent();
  EXPECT_EQ(lock.Lock(5000, TRUE, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_TRUE(lock.IsLocked(0) && lock.IsLocked(1));
  EXPECT_FALSE(first.Lock(0));
  EXPECT_TRUE(second.Lock(0));  // manual reset stays signalled
}

TEST(SyncTest, EventsSemaphoresAndSingleLocks) {
  CEvent autoReset;
  EXPECT_FALSE(autoReset.Lock(0));
  autoReset.SetEvent();
  EXPECT_TRUE(autoReset.Lock(0));
  EXPECT_FALSE(autoReset.Lock(0));

  CSemaphore semaphore(2, 2);
  {
    CSingleLock a(&semaphore, TRUE);
    CSingleLock b(&semaphore, TRUE);
    CSingleLock c(&semaphore);
    EXPECT_TRUE(a.IsLocked() && b.IsLocked());
    EXPECT_FALSE(c.Lock(0));
  }
  CSingleLock again(&semaphore);
  EXPECT_TRUE(again.Lock(0));  // the locks released their counts on leaving scope
}

TEST(SyncTest, CriticalSectionExcludesOtherThreads) {
  CCriticalSection section;
  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      CSingleLock guard(&section, TRUE);
      long seen = counter;
      counter = seen + 1;
    }
  };
  std::thread t1(work), t2(work), t3(work);
  t1.join();
  t2.join();
  t3.join();
  EXPECT_EQ(counter, 60000);
}

TEST(SyncTest, MutexIsOwnedUntilUnlocked) {
  CMutex mutex;
  CSingleLock lock(&mutex, TRUE);
  ASSERT_TRUE(lock.IsLocked());
  BOOL otherGotIt = TRUE;
  std::thread other([&] { otherGotIt = mutex.Lock(0); });
  other.join();
  EXPECT_FALSE(otherGotIt);
  lock.Unlock();
  std::thread later([&] {
    otherGotIt = mutex.Lock(5000);
    if (otherGotIt) mutex.Unlock();
  });
  later.join();
  EXPECT_TRUE(otherGotIt);
}
