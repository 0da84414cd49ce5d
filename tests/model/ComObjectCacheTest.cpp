// The mask library's picture cache: least recently used out first, never past its capacity.
#include "ComObjectCache.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A counted object that tells how many references are held on it.
class CountedObject : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown) {
      *out = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }

  ULONG references = 1;  // the test's own
};

std::vector<std::pair<std::string, int>> Keys(const ComObjectCache& cache) {
  std::vector<std::pair<std::string, int>> keys;
  for (const auto& entry : cache.GetCache().GetEntries())
    keys.emplace_back(entry.first.name, entry.first.index);
  return keys;
}

}  // namespace

TEST(ComObjectCacheTest, EvictsTheLeastRecentlyUsedAndNeverGrowsPastItsCapacity) {
  std::vector<std::unique_ptr<CountedObject>> objects;
  for (int i = 0; i < 40; ++i) objects.emplace_back(new CountedObject());
  {
    ComObjectCache cache(16);
    // All stored at once (within one clock tick): the cache still keeps its bound.
    for (int i = 0; i < 17; ++i) cache.Put(("m" + std::to_string(i)).c_str(), 0, objects[i].get());
    EXPECT_EQ(cache.GetCount(), 16);
    EXPECT_FALSE(cache.Contains("m0", 0));
    EXPECT_EQ(objects[0]->references, 1u);  // released on eviction
    EXPECT_EQ(objects[1]->references, 2u);

    // Reading counts as use; looking does not.
    IUnknown* got = cache.Get("m1", 0);
    ASSERT_EQ(got, objects[1].get());
    EXPECT_EQ(objects[1]->references, 3u);
    got->Release();
    EXPECT_TRUE(cache.Contains("m2", 0));
    cache.Put("n", 0, objects[20].get());
    EXPECT_TRUE(cache.Contains("m1", 0));
    EXPECT_FALSE(cache.Contains("m2", 0));
    EXPECT_EQ(cache.GetCount(), 16);

    // Replacing a cached key never evicts and swaps the references.
    cache.Put("m1", 0, objects[21].get());
    EXPECT_EQ(cache.GetCount(), 16);
    EXPECT_EQ(objects[1]->references, 1u);
    EXPECT_EQ(objects[21]->references, 2u);
    cache.Put("m1", 0, objects[21].get());
    EXPECT_EQ(objects[21]->references, 2u);

    for (int i = 22; i < 40; ++i) {
      cache.Put(("z" + std::to_string(i)).c_str(), 0, objects[i].get());
      EXPECT_LE(cache.GetCount(), 16);
    }
    EXPECT_EQ(cache.Get("absent", 0), nullptr);
  }
  // Destroying the cache released everything it held.
  for (const auto& object : objects) EXPECT_EQ(object->references, 1u);
}

TEST(ComObjectCacheTest, KeysOrderByNameBytesThenIndexAndRemoveNameTakesIndexZeroOnly) {
  CountedObject a0, a1, b0;
  ComObjectCache cache(16);
  cache.Put("a", 0, &a0);
  cache.Put("a", 1, &a1);
  cache.Put("B", 0, &b0);
  cache.Put("a", -1, &a1);
  EXPECT_EQ(Keys(cache), (std::vector<std::pair<std::string, int>>{{"B", 0}, {"a", -1}, {"a", 0}, {"a", 1}}));
  EXPECT_TRUE(cache.ContainsName("a"));
  cache.RemoveName("a");
  EXPECT_FALSE(cache.ContainsName("a"));
  EXPECT_TRUE(cache.Contains("a", 1));
  EXPECT_EQ(a0.references, 1u);
  cache.Clear();
  EXPECT_EQ(cache.GetCount(), 0);
  EXPECT_EQ(a1.references, 1u);
  EXPECT_EQ(b0.references, 1u);
}

TEST(ComObjectCacheTest, LruCacheEvictsByUseOrder) {
  LruCache<int, int> cache(3);
  cache.Put(1, 10);
  cache.Put(2, 20);
  cache.Put(3, 30);
  ASSERT_NE(cache.Get(1), nullptr);
  cache.Put(4, 40);  // 2 is the least recently used
  EXPECT_FALSE(cache.Contains(2));
  cache.Put(3, 31);  // a store is a use
  cache.Put(5, 50);  // now 1 goes
  EXPECT_FALSE(cache.Contains(1));
  EXPECT_EQ(*cache.Get(3), 31);
  EXPECT_EQ(cache.GetCount(), 3);
  LruCache<int, int> tiny(0);
  tiny.Put(1, 1);
  tiny.Put(2, 2);
  EXPECT_EQ(tiny.GetCount(), 1);
}
