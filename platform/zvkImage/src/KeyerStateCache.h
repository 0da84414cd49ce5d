// Parsed keyer states by path, shared read-only by every bitmap and thread that keys with them. A state
// file never changes once written, so a path that was read once stands for the same state from then on;
// building a state's table costs a few milliseconds and a couple of megabytes, which a picture keyed again
// (a repaint, the next image of a series keyed alike) then saves.
#pragma once

#include <memory>
#include <string>

namespace keyer {
class KeyerState;
}

namespace zvkImage {

class KeyerStateCache {
 public:
  // The state at path, read through the keyer's own reader (its format checks and path rules), or null
  // when the file cannot be read; a refusal is not remembered, so a file that appears later is found.
  // Throws only std::bad_alloc.
  static std::shared_ptr<const keyer::KeyerState> Get(const std::string& path);

  // The most states held at once; the least recently used goes first.
  static constexpr size_t kCapacity = 8;
};

}  // namespace zvkImage
