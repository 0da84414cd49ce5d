#include "ImportStoreThread.h"

#include <objbase.h>

#include <system_error>

ImportStoreThread::~ImportStoreThread() {
  {
    std::lock_guard<std::mutex> guard(lock);
    quit = true;
  }
  wake.notify_one();
  if (thread.joinable()) thread.join();
}

bool ImportStoreThread::Post(std::function<void()> task, CEvent* completion) {
  std::lock_guard<std::mutex> guard(lock);
  if (!thread.joinable()) {
    try {
      thread = std::thread([this] { Main(); });
    } catch (const std::system_error&) {
      return false;
    }
  }
  tasks.push_back({std::move(task), completion});
  wake.notify_one();
  return true;
}

void ImportStoreThread::Main() {
  // COM is for the tone curves of bitmaps made here. Without it the tasks still run: one that needs it
  // fails and reports that as any other failure, and every completion is signalled, or its caller would
  // wait forever.
  const HRESULT init = ::CoInitialize(nullptr);
  for (;;) {
    Task task;
    {
      std::unique_lock<std::mutex> guard(lock);
      wake.wait(guard, [this] { return quit || !tasks.empty(); });
      if (tasks.empty()) break;
      task = std::move(tasks.front());
      tasks.pop_front();
    }
    task.run();
    task.completion->SetEvent();
  }
  if (SUCCEEDED(init)) ::CoUninitialize();
}
