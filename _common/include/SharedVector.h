// The copy-on-write vector that text lists and aspect ratios keep their entries in.
#pragma once

#include "SharedBody.h"

#include <cstddef>
#include <vector>

template <class T>
struct SharedVectorBody {
  std::vector<T> items;

  void InsertAt(std::size_t position, const T& item) { items.insert(items.begin() + position, item); }
  void InsertCopies(std::size_t position, std::size_t n, const T& item) {
    items.insert(items.begin() + position, n, item);
  }
  void Erase(std::size_t position) { items.erase(items.begin() + position); }
  void Clear() {
    items.clear();
    items.shrink_to_fit();
  }
};

template <class T>
class SharedVector : public SharedBody<SharedVectorBody<T>> {
 public:
  using Body = SharedVectorBody<T>;

  std::size_t Count() const { return this->GetBody()->items.size(); }
  const std::vector<T>& Items() const { return this->GetBody()->items; }
  const T& operator[](std::size_t index) const { return this->GetBody()->items[index]; }
  void Append(const T& item) { this->Unshare()->items.push_back(item); }
};
