// CStringArray: a growable array of CString.
#pragma once

#include "classlib/String.h"

#include <vector>

class CStringArray {
 public:
  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
  INT_PTR GetCount() const { return GetSize(); }
  INT_PTR GetUpperBound() const { return GetSize() - 1; }
  BOOL IsEmpty() const { return AfxBool(m_items.empty()); }
  void SetSize(INT_PTR size, INT_PTR growBy = -1);
  void RemoveAll() { m_items.clear(); }

  const CString& GetAt(INT_PTR index) const;
  CString& ElementAt(INT_PTR index);
  void SetAt(INT_PTR index, LPCTSTR text) { ElementAt(index) = text; }
  void SetAtGrow(INT_PTR index, LPCTSTR text);
  const CString& operator[](INT_PTR index) const { return GetAt(index); }
  CString& operator[](INT_PTR index) { return ElementAt(index); }

  INT_PTR Add(const CString& text);
  INT_PTR Append(const CStringArray& other);
  void Copy(const CStringArray& other) { m_items = other.m_items; }
  void InsertAt(INT_PTR index, const CString& text, INT_PTR count = 1);
  void RemoveAt(INT_PTR index, INT_PTR count = 1);

 private:
  std::vector<CString> m_items;
};
