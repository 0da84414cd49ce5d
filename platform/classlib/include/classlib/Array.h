// CArray: a growable array of values. Indexes out of range throw std::out_of_range.
#pragma once

#include "classlib/Base.h"

#include <stdexcept>
#include <vector>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
 public:
  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
  INT_PTR GetCount() const { return GetSize(); }
  INT_PTR GetUpperBound() const { return GetSize() - 1; }
  BOOL IsEmpty() const { return AfxBool(m_items.empty()); }
  void SetSize(INT_PTR size, INT_PTR /*growBy*/ = -1) {
    m_items.resize(static_cast<size_t>(size < 0 ? 0 : size));
  }
  void FreeExtra() { m_items.shrink_to_fit(); }
  void RemoveAll() { m_items.clear(); }

  const TYPE& GetAt(INT_PTR index) const { return m_items.at(Checked(index)); }
  TYPE& ElementAt(INT_PTR index) { return m_items.at(Checked(index)); }
  void SetAt(INT_PTR index, ARG_TYPE value) { ElementAt(index) = value; }
  const TYPE& operator[](INT_PTR index) const { return GetAt(index); }
  TYPE& operator[](INT_PTR index) { return ElementAt(index); }
  const TYPE* GetData() const { return m_items.data(); }
  TYPE* GetData() { return m_items.data(); }

  void SetAtGrow(INT_PTR index, ARG_TYPE value) {
    if (static_cast<size_t>(Checked(index)) >= m_items.size()) m_items.resize(static_cast<size_t>(index) + 1);
    m_items[static_cast<size_t>(index)] = value;
  }
  INT_PTR Add(ARG_TYPE value) {
    m_items.push_back(value);
    return GetUpperBound();
  }
  INT_PTR Append(const CArray& other) {
    INT_PTR first = GetSize();
    m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
    return first;
  }
  void Copy(const CArray& other) { m_items = other.m_items; }
  void InsertAt(INT_PTR index, ARG_TYPE value, INT_PTR count = 1) {
    if (count < 0) throw std::out_of_range("CArray count");
    if (static_cast<size_t>(Checked(index)) > m_items.size()) m_items.resize(static_cast<size_t>(index));
    m_items.insert(m_items.begin() + index, static_cast<size_t>(count), value);
  }
  void RemoveAt(INT_PTR index, INT_PTR count = 1) {
    if (index < 0 || count < 0 || static_cast<size_t>(index + count) > m_items.size())
      throw std::out_of_range("CArray index");
    m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
  }

 private:
  static size_t Checked(INT_PTR index) {
    if (index < 0) throw std::out_of_range("CArray index");
    return static_cast<size_t>(index);
  }

  std::vector<TYPE> m_items;
};
