// The document's cache of recently used picture objects (the mask library's drafts and full-size
// pictures), keyed by a name and an index, holding one reference on each object.
#pragma once

#include "LruCache.h"

#include <objbase.h>

#include <cstdint>
#include <string>

class ComObjectCache {
 public:
  struct Key {
    std::string name;
    int32_t index;
  };
  // Names in unsigned byte order (case-sensitive), then the index as a signed number.
  struct KeyLess {
    bool operator()(const Key& a, const Key& b) const;
  };

  // A counted reference to the cached object.
  class Reference {
   public:
    explicit Reference(IUnknown* object) : object(object) {
      if (object) object->AddRef();
    }
    Reference(const Reference& other) : Reference(other.object) {}
    Reference(Reference&& other) noexcept : object(other.object) { other.object = nullptr; }
    Reference& operator=(Reference other) noexcept {
      std::swap(object, other.object);
      return *this;
    }
    ~Reference() {
      if (object) object->Release();
    }
    IUnknown* Get() const { return object; }

   private:
    IUnknown* object;
  };

  explicit ComObjectCache(int capacity) : cache(capacity) {}

  // Takes a reference of its own; the caller keeps its reference.
  void Put(const char* name, int index, IUnknown* object);
  // The object with a reference added for the caller, marked as just used; null when not cached.
  IUnknown* Get(const char* name, int index);
  bool Contains(const char* name, int index) const;
  // Whether the key (name, 0) is cached.
  bool ContainsName(const char* name) const;
  // Erases the key (name, 0); the name's other indexes stay.
  void RemoveName(const char* name);
  void Clear() { cache.Clear(); }

  int GetCount() const { return cache.GetCount(); }
  const LruCache<Key, Reference, KeyLess>& GetCache() const { return cache; }

 private:
  LruCache<Key, Reference, KeyLess> cache;
};
