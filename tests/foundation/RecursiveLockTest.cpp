// The recursive lock: re-entrant on one thread, exclusive against another.
#include "RecursiveLock.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

struct Attempt {
  RecursiveLock* lock;
  DWORD timeout;
  std::atomic<int> result{-1};  // -1 still waiting, 0 refused, 1 taken
  bool unlockAfter = true;
};

DWORD WINAPI TryLock(void* parameter) {
  auto* attempt = static_cast<Attempt*>(parameter);
  bool taken = attempt->lock->Lock(attempt->timeout);
  attempt->result = taken ? 1 : 0;
  if (taken && attempt->unlockAfter) attempt->lock->Unlock();
  return 0;
}

HANDLE Start(Attempt& attempt) { return CreateThread(nullptr, 0, TryLock, &attempt, 0, nullptr); }

}  // namespace

TEST(RecursiveLockTest, SameThreadTakesItThreeTimesAnotherWaitsForTheLastUnlock) {
  RecursiveLock lock;
  ASSERT_TRUE(lock.Lock());
  ASSERT_TRUE(lock.Lock());
  ASSERT_TRUE(lock.Lock());
  EXPECT_EQ(lock.GetCount(), 3);

  Attempt other{&lock, 10000};
  HANDLE thread = Start(other);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 200), static_cast<DWORD>(WAIT_TIMEOUT));  // still waiting
  lock.Unlock();
  lock.Unlock();
  EXPECT_EQ(WaitForSingleObject(thread, 200), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(other.result.load(), -1);
  lock.Unlock();
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(other.result.load(), 1);
  CloseHandle(thread);
  EXPECT_EQ(lock.GetCount(), 0);
}

TEST(RecursiveLockTest, TimeoutZeroOnAHeldLockReturnsFalseAndChangesNothing) {
  RecursiveLock lock;
  ASSERT_TRUE(lock.Lock());
  Attempt other{&lock, 0};
  HANDLE thread = Start(other);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(other.result.load(), 0);
  EXPECT_EQ(lock.GetCount(), 1);
  EXPECT_TRUE(lock.IsHeldByCurrentThread());
  lock.Unlock();
}

TEST(RecursiveLockTest, UnlockFromAStrangerOrWithoutLockIsIgnored) {
  RecursiveLock lock;
  lock.Unlock();  // nothing held: the count stays at zero
  EXPECT_EQ(lock.GetCount(), 0);
  ASSERT_TRUE(lock.Lock());

  struct Stranger {
    static DWORD WINAPI Run(void* p) {
      static_cast<RecursiveLock*>(p)->Unlock();
      return 0;
    }
  };
  HANDLE thread = CreateThread(nullptr, 0, Stranger::Run, &lock, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(lock.GetCount(), 1);
  EXPECT_TRUE(lock.IsHeldByCurrentThread());

  Attempt other{&lock, 0};
  thread = Start(other);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(other.result.load(), 0);  // still excluded
  lock.Unlock();
}

TEST(RecursiveLockTest, ScopedHolderGivesBackOnlyWhatItTook) {
  RecursiveLock lock;
  {
    ScopedRecursiveLock outer(lock);
    EXPECT_TRUE(outer.IsLocked());
    ScopedRecursiveLock inner(lock, 0);
    EXPECT_TRUE(inner.IsLocked());
    EXPECT_EQ(lock.GetCount(), 2);
  }
  EXPECT_EQ(lock.GetCount(), 0);
  Attempt holder{&lock, INFINITE};
  holder.unlockAfter = false;
  HANDLE thread = Start(holder);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);  // that thread keeps it
  CloseHandle(thread);
  {
    ScopedRecursiveLock refused(lock, 0);
    EXPECT_FALSE(refused.IsLocked());
  }
  EXPECT_EQ(lock.GetCount(), 1);  // the refused holder gave nothing back
}

namespace {

struct Crowd {
  RecursiveLock lock;
  std::atomic<int> inside{0};
  std::atomic<int> overlaps{0};
  std::atomic<int> refused{0};
  long total = 0;  // changed only under the lock
};

DWORD WINAPI Jostle(void* parameter) {
  auto* crowd = static_cast<Crowd*>(parameter);
  for (int i = 0; i < 2000; ++i) {
    // Every fourth attempt gives up quickly: a refusal must leave the lock as it was.
    if (!crowd->lock.Lock(i % 4 == 0 ? 1 : INFINITE)) {
      ++crowd->refused;
      continue;
    }
    crowd->lock.Lock();  // re-entered while others wait
    if (++crowd->inside != 1) ++crowd->overlaps;
    ++crowd->total;
    if (i % 64 == 0) Sleep(0);
    --crowd->inside;
    crowd->lock.Unlock();
    crowd->lock.Unlock();
  }
  return 0;
}

}  // namespace

TEST(RecursiveLockTest, ManyThreadsWithTimeoutsNeverShareItAndLoseNoWakeUp) {
  Crowd crowd;
  HANDLE threads[6];
  for (HANDLE& thread : threads) thread = CreateThread(nullptr, 0, Jostle, &crowd, 0, nullptr);
  EXPECT_EQ(WaitForMultipleObjects(6, threads, TRUE, 60000), static_cast<DWORD>(WAIT_OBJECT_0));
  for (HANDLE thread : threads) CloseHandle(thread);
  EXPECT_EQ(crowd.overlaps.load(), 0);
  EXPECT_EQ(crowd.total + crowd.refused.load(), 6 * 2000);
  EXPECT_EQ(crowd.lock.GetCount(), 0);
  EXPECT_TRUE(crowd.lock.Lock(0));
  crowd.lock.Unlock();
}
