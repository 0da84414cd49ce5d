// Keeps a few pixel planes for reuse after they are freed. Under Wine the first write into newly
// allocated large memory costs many times a write into memory the process has used before (a 24-megapixel
// plane: hundreds of milliseconds against a few), and a keyed, copied or imported picture frees and
// allocates planes of the same sizes again and again: the full planes, and the drafts and halfway planes of
// a reduction, a few megabytes each. Smaller planes go straight back to the heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zvkImage {

class PlaneRecycler {
 public:
  static constexpr size_t kMinBytes = size_t(2) << 20;        // smaller planes are not kept
  static constexpr size_t kMaxKept = 8;                       // planes kept at most
  static constexpr size_t kMaxKeptBytes = size_t(256) << 20;  // and their total size

  struct Deleter {
    size_t capacity = 0;
    void operator()(uint8_t* block) const { Release(block, capacity); }
  };
  using Plane = std::unique_ptr<uint8_t[], Deleter>;

  // A plane of at least `bytes` (contents undefined: a reused plane holds old pixels). Throws std::bad_alloc.
  static Plane Take(size_t bytes);
  // Frees the planes kept for reuse (also done when an allocation fails).
  static void Drain();
  static size_t KeptBytes();

 private:
  static void Release(uint8_t* block, size_t capacity);
};

}  // namespace zvkImage
