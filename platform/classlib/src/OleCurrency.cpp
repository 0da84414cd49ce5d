#include "classlib/OleCurrency.h"

namespace {
COleCurrency Invalid() {
  COleCurrency result;
  result.m_status = COleCurrency::invalid;
  return result;
}
}  // namespace

void COleCurrency::SetCurrency(long units, long fractionalUnits) {
  LONGLONG value = 0;
  if (fractionalUnits <= -10000 || fractionalUnits >= 10000 ||
      __builtin_mul_overflow(static_cast<LONGLONG>(units), 10000LL, &value) ||
      __builtin_add_overflow(value, static_cast<LONGLONG>(fractionalUnits), &value)) {
    m_cur.int64 = 0;
    m_status = invalid;
    return;
  }
  m_cur.int64 = value;
  m_status = valid;
}

BOOL COleCurrency::ParseCurrency(LPCTSTR text, DWORD flags, LCID locale) {
  m_cur.int64 = 0;
  m_status = invalid;
  if (text == nullptr || *text == 0) return FALSE;
  BSTR wide = CString(text).AllocSysString();
  CY value;
  HRESULT hr = VarCyFromStr(wide, locale, flags, &value);
  SysFreeString(wide);
  if (FAILED(hr)) return FALSE;
  m_cur = value;
  m_status = valid;
  return TRUE;
}

CString COleCurrency::Format(DWORD flags, LCID locale) const {
  if (m_status == null) return CString();
  BSTR text = nullptr;
  if (m_status != valid || FAILED(VarBstrFromCy(m_cur, locale, flags, &text)))
    return CString("Invalid Currency");
  CString result(static_cast<const wchar_t*>(text));
  SysFreeString(text);
  return result;
}

COleCurrency COleCurrency::operator+(const COleCurrency& other) const {
  if (m_status != valid || other.m_status != valid) return Invalid();
  CY sum;
  if (__builtin_add_overflow(m_cur.int64, other.m_cur.int64, &sum.int64)) return Invalid();
  return COleCurrency(sum);
}

COleCurrency COleCurrency::operator-(const COleCurrency& other) const {
  if (m_status != valid || other.m_status != valid) return Invalid();
  CY difference;
  if (__builtin_sub_overflow(m_cur.int64, other.m_cur.int64, &difference.int64)) return Invalid();
  return COleCurrency(difference);
}
