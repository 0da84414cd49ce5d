#include "PlaneRecycler.h"

#include <mutex>
#include <new>
#include <vector>

namespace zvkImage {
namespace {

struct KeptPlane {
  uint8_t* block;
  size_t capacity;
};

struct Store {
  std::mutex lock;
  std::vector<KeptPlane> kept;  // oldest first
  size_t keptBytes = 0;
};

// Never destroyed: planes of static pictures may be freed after every other static is gone.
Store& TheStore() {
  static Store* store = new Store;
  return *store;
}

void FreeAll(const std::vector<KeptPlane>& planes) {
  for (const KeptPlane& p : planes) delete[] p.block;
}

}  // namespace

PlaneRecycler::Plane PlaneRecycler::Take(size_t bytes) {
  if (bytes >= kMinBytes) {
    Store& store = TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    // The smallest kept plane that holds the request without wasting more than half as much again.
    size_t best = store.kept.size();
    for (size_t i = 0; i < store.kept.size(); ++i) {
      const size_t c = store.kept[i].capacity;
      if (c >= bytes && c - bytes <= bytes / 2 &&
          (best == store.kept.size() || c < store.kept[best].capacity))
        best = i;
    }
    if (best != store.kept.size()) {
      const KeptPlane found = store.kept[best];
      store.kept.erase(store.kept.begin() + ptrdiff_t(best));
      store.keptBytes -= found.capacity;
      return Plane(found.block, Deleter{found.capacity});
    }
  }
  uint8_t* block = nullptr;
  try {
    block = new uint8_t[bytes];
  } catch (const std::bad_alloc&) {
    Drain();  // the kept planes may be what the heap is missing
    block = new uint8_t[bytes];
  }
  return Plane(block, Deleter{bytes});
}

void PlaneRecycler::Release(uint8_t* block, size_t capacity) {
  if (!block) return;
  if (capacity < kMinBytes || capacity > kMaxKeptBytes) {
    delete[] block;
    return;
  }
  std::vector<KeptPlane> evicted;
  {
    Store& store = TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    store.kept.push_back({block, capacity});
    store.keptBytes += capacity;
    size_t drop = 0;
    while (store.kept.size() - drop > kMaxKept || store.keptBytes > kMaxKeptBytes) {
      store.keptBytes -= store.kept[drop].capacity;
      evicted.push_back(store.kept[drop++]);
    }
    store.kept.erase(store.kept.begin(), store.kept.begin() + ptrdiff_t(drop));
  }
  FreeAll(evicted);  // outside the lock: freeing large blocks takes time
}

void PlaneRecycler::Drain() {
  std::vector<KeptPlane> all;
  {
    Store& store = TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    all.swap(store.kept);
    store.keptBytes = 0;
  }
  FreeAll(all);
}

size_t PlaneRecycler::KeptBytes() {
  Store& store = TheStore();
  std::lock_guard<std::mutex> guard(store.lock);
  return store.keptBytes;
}

}  // namespace zvkImage
