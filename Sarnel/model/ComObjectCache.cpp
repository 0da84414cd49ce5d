#include "ComObjectCache.h"

namespace {
ComObjectCache::Key MakeKey(const char* name, int index) { return {name ? name : "", index}; }
}  // namespace

bool ComObjectCache::KeyLess::operator()(const Key& a, const Key& b) const {
  // std::string compares its characters as unsigned bytes.
  int byName = a.name.compare(b.name);
  if (byName != 0) return byName < 0;
  return a.index < b.index;
}

void ComObjectCache::Put(const char* name, int index, IUnknown* object) {
  cache.Put(MakeKey(name, index), Reference(object));
}

IUnknown* ComObjectCache::Get(const char* name, int index) {
  Reference* found = cache.Get(MakeKey(name, index));
  if (!found || !found->Get()) return nullptr;
  found->Get()->AddRef();
  return found->Get();
}

bool ComObjectCache::Contains(const char* name, int index) const {
  return cache.Contains(MakeKey(name, index));
}

bool ComObjectCache::ContainsName(const char* name) const { return Contains(name, 0); }

void ComObjectCache::RemoveName(const char* name) { cache.Remove(MakeKey(name, 0)); }
