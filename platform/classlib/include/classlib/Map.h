// CMap: a hash map with the usual lookup and iteration by POSITION. Keys hash through
// HashKey<ARG_KEY> and compare through CompareElements, both of which a key type may
// specialise (a key that converts to `const char*` hashes its text).
#pragma once

#include "classlib/String.h"

#include <vector>

#ifndef AFX_POSITION_DEFINED
#define AFX_POSITION_DEFINED
struct __POSITION {};
typedef __POSITION* POSITION;
#endif
#define BEFORE_START_POSITION (reinterpret_cast<POSITION>(-1))

template <class ARG_KEY>
inline UINT HashKey(ARG_KEY key) {
  return static_cast<UINT>(static_cast<ULONG_PTR>(key) >> 4);
}

inline UINT HashText(const char* text) {
  UINT hash = 0;
  if (text != nullptr)
    while (*text) hash = (hash << 5) + hash + static_cast<unsigned char>(*text++);
  return hash;
}
template <>
inline UINT HashKey<const char*>(const char* key) {
  return HashText(key);
}
template <>
inline UINT HashKey<LPCTSTR const&>(LPCTSTR const& key) {
  return HashText(key);
}
template <>
inline UINT HashKey<const CString&>(const CString& key) {
  return HashText(key);
}
template <>
inline UINT HashKey<CString>(CString key) {
  return HashText(key);
}

template <class TYPE, class ARG_TYPE>
inline BOOL CompareElements(const TYPE* a, const ARG_TYPE* b) {
  return AfxBool(*a == *b);
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap {
 public:
  struct CPair {
    const KEY key;
    VALUE value;
  };

  explicit CMap(INT_PTR /*blockSize*/ = 10) {}
  ~CMap() { RemoveAll(); }
  CMap(const CMap&) = delete;
  CMap& operator=(const CMap&) = delete;

  // Sets the number of buckets; call it while the map is empty.
  void InitHashTable(UINT hashSize, BOOL /*allocNow*/ = TRUE) {
    if (m_count == 0 && hashSize > 0) m_buckets.assign(hashSize, nullptr);
  }
  UINT GetHashTableSize() const { return static_cast<UINT>(m_buckets.size()); }
  INT_PTR GetCount() const { return m_count; }
  INT_PTR GetSize() const { return m_count; }
  BOOL IsEmpty() const { return AfxBool(m_count == 0); }

  BOOL Lookup(ARG_KEY key, VALUE& value) const {
    const Node* node = Find(key);
    if (node == nullptr) return FALSE;
    value = node->pair.value;
    return TRUE;
  }
  const CPair* PLookup(ARG_KEY key) const {
    const Node* node = Find(key);
    return node != nullptr ? &node->pair : nullptr;
  }
  CPair* PLookup(ARG_KEY key) {
    Node* node = Find(key);
    return node != nullptr ? &node->pair : nullptr;
  }
  VALUE& operator[](ARG_KEY key) {
    Node* node = Find(key);
    if (node != nullptr) return node->pair.value;
    if (m_buckets.empty()) m_buckets.assign(17, nullptr);
    UINT bucket = Bucket(key);
    node = new Node{{KEY(key), VALUE()}, m_buckets[bucket], bucket};
    m_buckets[bucket] = node;
    ++m_count;
    return node->pair.value;
  }
  void SetAt(ARG_KEY key, ARG_VALUE value) { (*this)[key] = value; }

  BOOL RemoveKey(ARG_KEY key) {
    if (m_buckets.empty()) return FALSE;
    Node** link = &m_buckets[Bucket(key)];
    for (; *link != nullptr; link = &(*link)->next) {
      if (CompareElements(&(*link)->pair.key, &key)) {
        Node* gone = *link;
        *link = gone->next;
        delete gone;
        --m_count;
        return TRUE;
      }
    }
    return FALSE;
  }
  void RemoveAll() {
    for (Node*& head : m_buckets) {
      while (head != nullptr) {
        Node* next = head->next;
        delete head;
        head = next;
      }
    }
    m_count = 0;
  }

  POSITION GetStartPosition() const { return m_count == 0 ? nullptr : BEFORE_START_POSITION; }
  void GetNextAssoc(POSITION& position, KEY& key, VALUE& value) const {
    const Node* node =
        position == BEFORE_START_POSITION ? FirstFrom(0) : reinterpret_cast<const Node*>(position);
    if (node == nullptr) {
      position = nullptr;
      return;
    }
    key = node->pair.key;
    value = node->pair.value;
    const Node* next = node->next != nullptr ? node->next : FirstFrom(node->bucket + 1);
    position = reinterpret_cast<POSITION>(const_cast<Node*>(next));
  }

 private:
  struct Node {
    CPair pair;
    Node* next;
    UINT bucket;
  };

  UINT Bucket(ARG_KEY key) const { return HashKey<ARG_KEY>(key) % static_cast<UINT>(m_buckets.size()); }
  Node* Find(ARG_KEY key) const {
    if (m_buckets.empty()) return nullptr;
    for (Node* node = m_buckets[Bucket(key)]; node != nullptr; node = node->next)
      if (CompareElements(&node->pair.key, &key)) return node;
    return nullptr;
  }
  const Node* FirstFrom(UINT bucket) const {
    for (; bucket < m_buckets.size(); ++bucket)
      if (m_buckets[bucket] != nullptr) return m_buckets[bucket];
    return nullptr;
  }

  std::vector<Node*> m_buckets;
  INT_PTR m_count = 0;
};
