// Worker threads: started, woken, stopped, reporting done, deleting themselves.
#include "Thread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

struct Counters {
  std::atomic<int> runs{0};
  std::atomic<bool> destroyed{false};
  CEvent ran{FALSE, FALSE};  // auto reset: one signal per run
};

class CountingWorker : public zvk::thread {
 public:
  CountingWorker(bool autoDelete, Counters& counters) : zvk::thread(autoDelete), counters(counters) {}
  ~CountingWorker() override { counters.destroyed = true; }

 protected:
  int Main() override {
    ++counters.runs;
    counters.ran.SetEvent();
    return 7;
  }

 private:
  Counters& counters;
};

bool Signalled(HANDLE handle, DWORD timeout = 10000) {
  return WaitForSingleObject(handle, timeout) == WAIT_OBJECT_0;
}

}  // namespace

TEST(WorkerThread, NeverStartedIsDone) {
  Counters counters;
  CountingWorker worker(false, counters);
  EXPECT_TRUE(Signalled(*worker.GetDoneEvent(), 0));
}

TEST(WorkerThread, RunsOnceWhenWokenThenEndsAndReportsDone) {
  Counters counters;
  auto* worker = new CountingWorker(false, counters);
  ASSERT_TRUE(worker->Start(INFINITE, false));
  EXPECT_FALSE(Signalled(*worker->GetDoneEvent(), 100));  // waiting for its wake signal
  EXPECT_EQ(counters.runs.load(), 0);
  worker->GetWakeEvent()->SetEvent();
  ASSERT_TRUE(Signalled(*worker->GetDoneEvent()));
  ASSERT_TRUE(Signalled(worker->m_hThread));
  DWORD exitCode = 0;
  GetExitCodeThread(worker->m_hThread, &exitCode);
  EXPECT_EQ(exitCode, 7u);
  EXPECT_EQ(counters.runs.load(), 1);
  EXPECT_FALSE(counters.destroyed.load());  // its owner deletes it
  delete worker;
  EXPECT_TRUE(counters.destroyed.load());
}

TEST(WorkerThread, PeriodicModeRunsOnEveryWakeUntilStopped) {
  Counters counters;
  CountingWorker worker(false, counters);
  ASSERT_TRUE(worker.Start(60000, true));  // a long interval: only wake signals make it run
  ASSERT_TRUE(Signalled(counters.ran));
  worker.GetWakeEvent()->SetEvent();
  ASSERT_TRUE(Signalled(counters.ran));
  worker.GetWakeEvent()->SetEvent();
  ASSERT_TRUE(Signalled(counters.ran));
  EXPECT_EQ(counters.runs.load(), 3);
  worker.GetStopEvent().SetEvent();
  worker.GetWakeEvent()->SetEvent();
  ASSERT_TRUE(Signalled(*worker.GetDoneEvent()));
  ASSERT_TRUE(Signalled(worker.m_hThread));
  EXPECT_EQ(counters.runs.load(), 3);  // the stop came first: no further run
}

TEST(WorkerThread, SelfDeletingWorkerIsGoneWhenItsThreadEnds) {
  Counters counters;
  auto* worker = new CountingWorker(true, counters);
  ASSERT_TRUE(worker->Start());
  // Nothing of the worker may be touched now; wait for its destructor through the counters.
  for (int i = 0; i < 1000 && !counters.destroyed; ++i) Sleep(10);
  EXPECT_TRUE(counters.destroyed.load());
  EXPECT_EQ(counters.runs.load(), 1);
}
