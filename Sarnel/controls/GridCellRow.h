// A grid column's pick list: values with the texts shown for them. Copies share one body until
// one of them changes it.
#pragma once

#include "GridTypes.h"

#include <memory>
#include <vector>

struct GridCellValue {
  COleVariant value;
  CString text;
};

class GridCellRow {
 public:
  GridCellRow();

  int GetCount() const { return static_cast<int>(m_body->size()); }
  const GridCellValue& operator[](int index) const { return (*m_body)[static_cast<size_t>(index)]; }
  void Add(const VARIANT& value, const CString& text);
  void RemoveAll();
  // The text of the first entry whose value equals `value`; empty when none does.
  CString TextOf(const VARIANT& value) const;
  // How many holders share this body (for tests and diagnostics).
  long ShareCount() const { return m_body.use_count(); }
  bool SharesBodyWith(const GridCellRow& other) const { return m_body == other.m_body; }

 private:
  void Unshare();
  std::shared_ptr<std::vector<GridCellValue>> m_body;
};

// VARIANT equality of the grid: same type and same content; strings by length and bytes.
bool GridValuesEqual(const VARIANT& a, const VARIANT& b);
