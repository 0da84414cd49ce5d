#include "workers/WorkerPool.h"

#include <windows.h>
#include <process.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace workers {

namespace {

// One run: its parts are claimed one at a time by whoever comes first, the caller included.
struct Job {
  void (*call)(void*, int) = nullptr;
  void* context = nullptr;
  int parts = 0;
  std::atomic<int> next{0};        // the next part to claim; past parts once all are claimed
  std::atomic<int> unfinished{0};  // parts not yet ended (claimed or not)
  std::atomic<bool> failed{false};
  std::exception_ptr error;  // written by the one part that set failed
  Job* link = nullptr;       // in the pool's list while it has parts to claim
  bool listed = false;
  bool background = false;  // started under BackgroundWork: its parts come after every other run's
};

thread_local bool backgroundThread = false;

std::atomic<int> startsAllowed{-1};

// Lets a start go ahead within the tests' limit.
bool MayStart() {
  int allowed = startsAllowed.load();
  while (allowed >= 0) {
    if (allowed == 0) return false;
    if (startsAllowed.compare_exchange_weak(allowed, allowed - 1)) return true;
  }
  return true;
}

}  // namespace

struct WorkerPool::State {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE work = CONDITION_VARIABLE_INIT;  // a job was listed, or the workers are to stop
  CONDITION_VARIABLE done = CONDITION_VARIABLE_INIT;  // some job's last part ended
  Job* first = nullptr;
  Job* last = nullptr;
  std::vector<HANDLE> threads;
  int wanted = 0;
  bool stopping = false;
  std::atomic<int> running{0};  // workers started and not stopped: read without the lock by Threads()
  std::atomic<int> foregroundListed{0};  // listed runs not started under BackgroundWork

  // Under the lock. A background run goes to the end of the list, any other one before the first
  // background run, so that workers claim background parts only when nothing else waits.
  void Append(Job* job) {
    job->listed = true;
    Job* before = nullptr;
    if (job->background) {
      before = last;
    } else {
      foregroundListed.fetch_add(1);
      for (Job* j = first; j && !j->background; j = j->link) before = j;
    }
    job->link = before ? before->link : first;
    (before ? before->link : first) = job;
    if (before == last) last = job;
  }
  void Unlist(Job* job) {
    if (!job->listed) return;
    Job* before = nullptr;
    for (Job* j = first; j && j != job; j = j->link) before = j;
    (before ? before->link : first) = job->link;
    if (last == job) last = before;
    job->listed = false;
    if (!job->background) foregroundListed.fetch_sub(1);
  }
  // Under the lock: a part of the first job that still has one; jobs whose parts are all claimed leave the
  // list. Null when there is nothing to do.
  Job* Claim(int& part) {
    while (first) {
      Job* job = first;
      part = job->next.fetch_add(1);
      if (part < job->parts) return job;
      Unlist(job);
    }
    return nullptr;
  }

  // Under the lock: starts the workers that are missing (a failed start is tried again on a later run).
  void StartWorkers() {
    while (!stopping && int(threads.size()) < wanted) {
      HANDLE thread = nullptr;
      if (MayStart())
        thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &WorkerMain, this, 0, nullptr));
      if (!thread) return;
      threads.push_back(thread);
      running.fetch_add(1);
    }
  }

  // Stops every worker and waits for them; parts they had begun end first.
  void StopWorkers() {
    AcquireSRWLockExclusive(&lock);
    stopping = true;
    std::vector<HANDLE> ending;
    ending.swap(threads);
    WakeAllConditionVariable(&work);
    ReleaseSRWLockExclusive(&lock);
    for (HANDLE h : ending) {
      WaitForSingleObject(h, INFINITE);
      CloseHandle(h);
    }
    AcquireSRWLockExclusive(&lock);
    running.fetch_sub(int(ending.size()));
    stopping = false;
    ReleaseSRWLockExclusive(&lock);
  }

  static void RunPart(Job* job, int part) {
    if (job->failed.load(std::memory_order_relaxed)) return;
    try {
      job->call(job->context, part);
    } catch (...) {
      if (!job->failed.exchange(true)) job->error = std::current_exception();
    }
  }

  // Ends one part; the job must not be touched afterwards unless the caller still holds another part.
  void Finish(Job* job) {
    if (job->unfinished.fetch_sub(1) != 1) return;
    AcquireSRWLockExclusive(&lock);
    WakeAllConditionVariable(&done);
    ReleaseSRWLockExclusive(&lock);
  }

  // Runs part and then further parts of job as long as there are any; the next part is claimed before
  // this one counts as ended, so the job cannot end (and vanish) while it is being claimed from. A worker
  // (not the run's caller, who must see its run through) leaves a background run between parts once
  // another run waits; the background run keeps its place in the list for later.
  void Work(Job* job, int part, bool worker) {
    const int parts = job->parts;
    // Runs that a worker's part starts in turn rank as the part's own run.
    if (worker) backgroundThread = job->background;
    for (;;) {
      RunPart(job, part);
      if (worker && job->background && foregroundListed.load(std::memory_order_relaxed) > 0) {
        Finish(job);
        return;
      }
      const int following = job->next.fetch_add(1);
      Finish(job);
      if (following >= parts) return;
      part = following;
    }
  }

  static unsigned __stdcall WorkerMain(void* self) {
    State& s = *static_cast<State*>(self);
    AcquireSRWLockExclusive(&s.lock);
    while (!s.stopping) {
      int part = 0;
      Job* job = s.Claim(part);
      if (!job) {
        SleepConditionVariableSRW(&s.work, &s.lock, INFINITE, 0);
        continue;
      }
      ReleaseSRWLockExclusive(&s.lock);
      s.Work(job, part, true);
      AcquireSRWLockExclusive(&s.lock);
    }
    ReleaseSRWLockExclusive(&s.lock);
    return 0;
  }
};

WorkerPool::WorkerPool() : state_(new State) { state_->wanted = Cores() - 1; }

WorkerPool& WorkerPool::Shared() {
  static WorkerPool* pool = new WorkerPool;
  return *pool;
}

int WorkerPool::Cores() {
  static const int cores = int(std::clamp(std::thread::hardware_concurrency(), 1u, 64u));
  return cores;
}

BackgroundWork::BackgroundWork() : outer(backgroundThread) { backgroundThread = true; }

BackgroundWork::~BackgroundWork() { backgroundThread = outer; }

int WorkerPool::Threads() const { return state_->running.load() + 1; }

void WorkerPool::LimitThreadStarts(int allowed) {
  Shared().state_->StopWorkers();
  startsAllowed.store(allowed < 0 ? -1 : allowed);
}

void WorkerPool::RunParts(int parts, void (*call)(void*, int), void* context) {
  if (parts <= 0) return;
  State& s = *state_;
  Job job;
  job.call = call;
  job.context = context;
  job.parts = parts;
  job.unfinished.store(parts);
  job.background = backgroundThread;
  bool shared = false;
  if (parts > 1) {
    AcquireSRWLockExclusive(&s.lock);
    s.StartWorkers();
    const int helpers = std::min(parts - 1, int(s.threads.size()));
    if (helpers > 0) {
      shared = true;
      s.Append(&job);
      if (helpers == int(s.threads.size()))
        WakeAllConditionVariable(&s.work);
      else
        for (int i = 0; i < helpers; ++i) WakeConditionVariable(&s.work);
    }
    ReleaseSRWLockExclusive(&s.lock);
  }
  const int part = job.next.fetch_add(1);
  if (part < parts) s.Work(&job, part, false);
  // Every part is claimed: wait for those still running elsewhere.
  if (shared) {
    AcquireSRWLockExclusive(&s.lock);
    s.Unlist(&job);
    while (job.unfinished.load() > 0) SleepConditionVariableSRW(&s.done, &s.lock, INFINITE, 0);
    ReleaseSRWLockExclusive(&s.lock);
  }
  if (job.error) std::rethrow_exception(job.error);
}

}  // namespace workers
