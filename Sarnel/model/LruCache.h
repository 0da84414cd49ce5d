// A map of bounded size that drops its least recently used entry to make room for a new one.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

// Use is ordered by a count that every store and every read through Get advances, not by the clock:
// entries used within the same clock tick still have an order, so the cache never holds more than its
// capacity.
template <class Key, class Value, class Less = std::less<Key>>
class LruCache {
 public:
  struct Slot {
    Value value;
    uint64_t lastUse;
  };
  using Map = std::map<Key, Slot, Less>;

  explicit LruCache(int capacity) : capacity(capacity < 1 ? 1 : capacity) {}

  int GetCapacity() const { return capacity; }
  int GetCount() const { return static_cast<int>(entries.size()); }

  // Stores the value of a key, replacing (and never evicting for) a key already held; a new key first
  // evicts the least recently used entry when the cache is full.
  void Put(const Key& key, Value value) {
    auto found = entries.find(key);
    if (found != entries.end()) {
      found->second.value = std::move(value);
      found->second.lastUse = ++useCount;
      return;
    }
    while (static_cast<int>(entries.size()) >= capacity) EvictLeastRecentlyUsed();
    entries.emplace(key, Slot{std::move(value), ++useCount});
  }

  // The value of a key, marked as just used; null when the key is not held.
  Value* Get(const Key& key) {
    auto found = entries.find(key);
    if (found == entries.end()) return nullptr;
    found->second.lastUse = ++useCount;
    return &found->second.value;
  }

  // Looks without counting as a use.
  bool Contains(const Key& key) const { return entries.count(key) != 0; }
  void Remove(const Key& key) { entries.erase(key); }
  void Clear() { entries.clear(); }
  const Map& GetEntries() const { return entries; }

 private:
  void EvictLeastRecentlyUsed() {
    auto oldest = entries.begin();
    for (auto it = entries.begin(); it != entries.end(); ++it)
      if (it->second.lastUse < oldest->second.lastUse) oldest = it;
    entries.erase(oldest);
  }

  int capacity;
  uint64_t useCount = 0;
  Map entries;
};
