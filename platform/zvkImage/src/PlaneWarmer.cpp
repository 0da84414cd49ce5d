#include "PlaneWarmer.h"

#include <process.h>

#include <algorithm>

#include "workers/WorkerPool.h"

namespace zvkImage {
namespace {

// Bands of about this many bytes: small enough that the decoder rarely waits, large enough that claiming one
// costs nothing next to its page faults.
constexpr size_t kBandBytes = size_t(256) << 10;
constexpr size_t kPage = 4096;

}  // namespace

PlaneWarmer::PlaneWarmer(uint8_t* plane, size_t stride, int rows)
    : plane_(plane), stride_(stride), rows_(rows) {
  if (!plane || stride == 0 || rows <= 0 || stride * size_t(rows) < kMinBytes) return;
  bandRows_ = int(std::max<size_t>(1, kBandBytes / stride));
  bands_ = (rows + bandRows_ - 1) / bandRows_;
  ready_.reset(new std::atomic<bool>[size_t(bands_)]);
  for (int b = 0; b < bands_; ++b) ready_[b].store(false, std::memory_order_relaxed);
  // A thread of its own hosts the pool's run, so that the writer goes on with its rows meanwhile.
  host_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &Host, this, 0, nullptr));
}

PlaneWarmer::~PlaneWarmer() {
  if (!host_) return;
  stop_.store(true);
  WaitForSingleObject(host_, INFINITE);
  CloseHandle(host_);
}

unsigned __stdcall PlaneWarmer::Host(void* self) {
  PlaneWarmer& warmer = *static_cast<PlaneWarmer*>(self);
  workers::WorkerPool& pool = workers::WorkerPool::Shared();
  pool.Run(pool.Threads(), [&](int) { warmer.WarmBands(); });
  return 0;
}

void PlaneWarmer::WarmBands() {
  while (!stop_.load(std::memory_order_relaxed)) {
    const int band = next_.fetch_add(1);
    if (band >= bands_) return;
    // One write into every page of the band, each inside the band's own rows: the bytes around it may be
    // the writer's already.
    volatile uint8_t* const first = plane_ + size_t(band) * size_t(bandRows_) * stride_;
    volatile uint8_t* const end =
        plane_ + std::min(size_t(band + 1) * size_t(bandRows_), size_t(rows_)) * stride_;
    *first = 0;
    const uintptr_t firstPage = (reinterpret_cast<uintptr_t>(first) | (kPage - 1)) + 1;
    for (volatile uint8_t* p = reinterpret_cast<volatile uint8_t*>(firstPage); p < end; p += kPage) *p = 0;
    warmed_.fetch_add(1, std::memory_order_relaxed);
    ready_[band].store(true, std::memory_order_release);
  }
}

void PlaneWarmer::Reach(int end) {
  if (!host_ || end <= 0) return;
  const int last = (std::min(end, rows_) - 1) / bandRows_;
  if (last < reached_) return;
  // Bands nobody has started are the writer's: its own writes fault them in.
  int unclaimed = next_.load();
  while (unclaimed <= last && !next_.compare_exchange_weak(unclaimed, last + 1)) {
  }
  const int waitUntil = std::min(unclaimed, last + 1);
  for (int b = reached_; b < waitUntil; ++b) {
    for (int spins = 0; !ready_[b].load(std::memory_order_acquire); ++spins) {
      if (spins < 64)
        YieldProcessor();
      else
        SwitchToThread();
    }
  }
  reached_ = last + 1;
}

}  // namespace zvkImage
