// Makes a new pixel plane's memory ready on the worker pool while one thread writes its rows top to bottom
// (a decoder). Under Wine the first write into each page of newly allocated memory is slow: for a
// 24-megapixel plane it can cost more than the decode itself, and a decoder writing alone pays it page by
// page. Here the pool's threads write ahead of the decoder, band by band, so those faults are taken on
// several cores at once while the decoder works.
//
// Each band of rows is written either by a warming thread (before the decoder gets there) or by the decoder
// alone, never both at once: the decoder claims every band no warming thread has started and waits for the
// ones that have. A pool that cannot start its thread leaves everything to the decoder.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace zvkImage {

class PlaneWarmer {
 public:
  // Planes below this are written faster than a thread starts.
  static constexpr size_t kMinBytes = size_t(8) << 20;

  PlaneWarmer(uint8_t* plane, size_t stride, int rows);
  // Stops warming and waits for the warming threads.
  ~PlaneWarmer();
  PlaneWarmer(const PlaneWarmer&) = delete;
  PlaneWarmer& operator=(const PlaneWarmer&) = delete;

  // Called by the writer before it writes rows below `end`, with `end` never decreasing. Rows that a
  // warming thread has begun are finished first; the writer takes the rest itself.
  void Reach(int end);

  // Bands written by warming threads so far: for tests.
  int WarmedBands() const { return warmed_.load(); }

 private:
  static unsigned __stdcall Host(void* self);
  void WarmBands();

  uint8_t* plane_;
  size_t stride_;
  int rows_;
  int bandRows_ = 1;
  int bands_ = 0;
  int reached_ = 0;                             // bands the writer may write (its own or warmed)
  std::atomic<int> next_{0};                    // the next band nobody has claimed
  std::unique_ptr<std::atomic<bool>[]> ready_;  // per band: written by its warming thread, or the writer's
  std::atomic<bool> stop_{false};
  std::atomic<int> warmed_{0};
  HANDLE host_ = nullptr;
};

}  // namespace zvkImage
