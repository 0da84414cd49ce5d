#include "classlib/StringArray.h"

#include <stdexcept>

namespace {
void CheckIndex(INT_PTR index, size_t size) {
  if (index < 0 || static_cast<size_t>(index) >= size)
    throw std::out_of_range("CStringArray index out of range");
}
}  // namespace

void CStringArray::SetSize(INT_PTR size, INT_PTR /*growBy*/) {
  m_items.resize(static_cast<size_t>(size < 0 ? 0 : size));
}

const CString& CStringArray::GetAt(INT_PTR index) const {
  CheckIndex(index, m_items.size());
  return m_items[static_cast<size_t>(index)];
}

CString& CStringArray::ElementAt(INT_PTR index) {
  CheckIndex(index, m_items.size());
  return m_items[static_cast<size_t>(index)];
}

void CStringArray::SetAtGrow(INT_PTR index, LPCTSTR text) {
  if (index < 0) throw std::out_of_range("CStringArray index out of range");
  if (static_cast<size_t>(index) >= m_items.size()) m_items.resize(static_cast<size_t>(index) + 1);
  m_items[static_cast<size_t>(index)] = text;
}

INT_PTR CStringArray::Add(const CString& text) {
  m_items.push_back(text);
  return GetUpperBound();
}

INT_PTR CStringArray::Append(const CStringArray& other) {
  INT_PTR first = GetSize();
  m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
  return first;
}

void CStringArray::InsertAt(INT_PTR index, const CString& text, INT_PTR count) {
  if (index < 0 || count < 0) throw std::out_of_range("CStringArray index out of range");
  if (static_cast<size_t>(index) > m_items.size()) m_items.resize(static_cast<size_t>(index));
  m_items.insert(m_items.begin() + index, static_cast<size_t>(count), text);
}

void CStringArray::RemoveAt(INT_PTR index, INT_PTR count) {
  if (index < 0 || count < 0 || static_cast<size_t>(index + count) > m_items.size())
    throw std::out_of_range("CStringArray index out of range");
  m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
}
