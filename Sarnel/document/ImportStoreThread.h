// The thread that writes imported images into the job, started with the first import and kept for the
// next ones: under Wine, starting a thread and its COM apartment costs milliseconds that every image of
// a long import would pay again.
#pragma once

#include "classlib/ClassLib.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class ImportStoreThread {
 public:
  ImportStoreThread() = default;
  // Waits for the tasks posted before.
  ~ImportStoreThread();
  ImportStoreThread(const ImportStoreThread&) = delete;
  ImportStoreThread& operator=(const ImportStoreThread&) = delete;

  // Runs the task on the thread, after the tasks posted before, and then signals the completion; a
  // task reports its own failures. False when the thread cannot be started.
  bool Post(std::function<void()> task, CEvent* completion);

 private:
  struct Task {
    std::function<void()> run;
    CEvent* completion;
  };
  void Main();

  std::mutex lock;
  std::condition_variable wake;
  std::deque<Task> tasks;
  bool quit = false;
  std::thread thread;
};
