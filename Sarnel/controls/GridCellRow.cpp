#include "GridCellRow.h"

#include <cstring>

GridCellRow::GridCellRow() : m_body(std::make_shared<std::vector<GridCellValue>>()) {}

void GridCellRow::Unshare() {
  if (m_body.use_count() > 1) m_body = std::make_shared<std::vector<GridCellValue>>(*m_body);
}

void GridCellRow::Add(const VARIANT& value, const CString& text) {
  Unshare();
  GridCellValue entry;
  entry.value = value;
  entry.text = text;
  m_body->push_back(entry);
}

void GridCellRow::RemoveAll() {
  if (m_body->empty()) return;
  m_body = std::make_shared<std::vector<GridCellValue>>();
}

CString GridCellRow::TextOf(const VARIANT& value) const {
  for (const GridCellValue& entry : *m_body)
    if (GridValuesEqual(entry.value, value)) return entry.text;
  return CString();
}

bool GridValuesEqual(const VARIANT& a, const VARIANT& b) {
  if (&a == &b) return true;
  if (a.vt != b.vt) return false;
  switch (a.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return true;
    case VT_I2:
      return a.iVal == b.iVal;
    case VT_I4:
      return a.lVal == b.lVal;
    case VT_I8:
      return a.llVal == b.llVal;
    case VT_R4:
      return a.fltVal == b.fltVal;
    case VT_R8:
      return a.dblVal == b.dblVal;
    case VT_CY:
      return a.cyVal.int64 == b.cyVal.int64;
    case VT_DATE:
      return a.date == b.date;
    case VT_ERROR:
      return a.scode == b.scode;
    case VT_BOOL:
      return a.boolVal == b.boolVal;
    case VT_UI1:
      return a.bVal == b.bVal;
    case VT_UNKNOWN:
    case VT_DISPATCH:
      return a.punkVal == b.punkVal;
    case VT_DECIMAL:
      return memcmp(&a.decVal, &b.decVal, sizeof(DECIMAL)) == 0;
    case VT_BSTR: {
      const UINT la = a.bstrVal ? SysStringByteLen(a.bstrVal) : 0;
      const UINT lb = b.bstrVal ? SysStringByteLen(b.bstrVal) : 0;
      return la == lb && (la == 0 || memcmp(a.bstrVal, b.bstrVal, la) == 0);
    }
    default:
      return false;  // values of types the grid cannot compare count as different
  }
}
