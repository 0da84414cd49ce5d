// Splits a range of rows over the processor's cores. Small ranges run on the calling thread.
#pragma once

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace zvkImage {

inline int CoreCount() {
  static const int cores = std::max(1u, std::min(64u, std::thread::hardware_concurrency()));
  return cores;
}

// body(begin, end) over [0, count) in contiguous parts of at least minPerPart items; the first exception
// thrown by a part is rethrown on the caller's thread once every part has ended.
template <class Body>
void ParallelRows(int count, int minPerPart, Body&& body) {
  if (count <= 0) return;
  const int parts = std::max(1, std::min(CoreCount(), count / std::max(1, minPerPart)));
  if (parts == 1) {
    body(0, count);
    return;
  }
  std::vector<std::thread> threads;
  std::vector<std::exception_ptr> errors(parts);
  threads.reserve(parts - 1);
  auto run = [&](int p) {
    const int begin = int(int64_t(count) * p / parts);
    const int end = int(int64_t(count) * (p + 1) / parts);
    try {
      body(begin, end);
    } catch (...) {
      errors[p] = std::current_exception();
    }
  };
  for (int p = 1; p < parts; ++p) threads.emplace_back(run, p);
  run(0);
  for (auto& t : threads) t.join();
  for (auto& e : errors)
    if (e) std::rethrow_exception(e);
}

}  // namespace zvkImage
