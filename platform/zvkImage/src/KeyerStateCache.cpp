#include "KeyerStateCache.h"

#include <list>
#include <mutex>
#include <utility>

#include "keyer/KeyerState.h"
#include "keyer/KeyerStateFiles.h"

namespace zvkImage {
namespace {

using Entry = std::pair<std::string, std::shared_ptr<const keyer::KeyerState>>;

std::mutex cacheLock;
std::list<Entry> recent;  // most recently used first

}  // namespace

std::shared_ptr<const keyer::KeyerState> KeyerStateCache::Get(const std::string& path) {
  if (path.empty()) return nullptr;
  {
    std::lock_guard<std::mutex> guard(cacheLock);
    for (auto it = recent.begin(); it != recent.end(); ++it)
      if (it->first == path) {
        recent.splice(recent.begin(), recent, it);
        return recent.front().second;
      }
  }
  // Read without the lock: other pictures go on keying meanwhile. Two threads reading the same new path
  // both parse it; the first to finish is kept.
  std::shared_ptr<const keyer::KeyerState> state = ReadKeyerStateFile(path.c_str());
  if (!state) return nullptr;
  std::lock_guard<std::mutex> guard(cacheLock);
  for (const Entry& entry : recent)
    if (entry.first == path) return entry.second;
  recent.emplace_front(path, state);
  if (recent.size() > kCapacity) recent.pop_back();
  return state;
}

}  // namespace zvkImage
