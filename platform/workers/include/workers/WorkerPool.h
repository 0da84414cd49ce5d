// The process's one pool of worker threads for work split into parts (pixel rows, table planes). Made on
// first use with a thread per core besides the caller's; idle workers sleep until a run hands them parts.
// A run never depends on its workers: parts nobody took run on the calling thread, so a pool whose threads
// could not be started still does all the work, only on fewer cores.
#pragma once

#include <type_traits>

namespace workers {

class WorkerPool {
 public:
  // The shared pool, made on first use and never destroyed (pictures may be freed by other statics late).
  static WorkerPool& Shared();
  // Logical processors of the machine (at least 1, at most 64).
  static int Cores();

  // Threads that may work on one run: the workers running now and the caller.
  int Threads() const;

  // task(part) for every part in [0, parts), on the pool's threads and the calling thread at once; returns
  // when every part has ended. Once a part throws, parts not yet begun are skipped and the first exception
  // is rethrown here. Runs may be nested (a part may start a run of its own) and may come from several
  // threads at once.
  template <class Task>
  void Run(int parts, Task&& task) {
    using T = std::remove_reference_t<Task>;
    RunParts(
        parts, [](void* context, int part) { (*static_cast<T*>(context))(part); },
        const_cast<void*>(static_cast<const void*>(&task)));
  }

  // For tests: at most `allowed` further worker threads start (a negative count lifts the limit); a start
  // beyond it fails as if the system refused the thread. The workers running now are stopped first, so that
  // the next run has to start them again.
  static void LimitThreadStarts(int allowed);

  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

 private:
  struct State;
  WorkerPool();
  ~WorkerPool() = delete;
  void RunParts(int parts, void (*call)(void*, int), void* context);
  State* state_;
};

// While one lives on a thread, the runs that thread starts are background runs: the pool's workers take
// their parts only when no other run has parts left, and leave them between parts for a run that comes.
// For work done ahead of need (the next pictures of an import) beside work somebody waits for.
class BackgroundWork {
 public:
  BackgroundWork();
  ~BackgroundWork();
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

 private:
  bool outer;
};

}  // namespace workers
