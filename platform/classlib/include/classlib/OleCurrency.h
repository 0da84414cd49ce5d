// COleCurrency: an OLE currency value (a 64-bit integer of ten-thousandths) with a status.
#pragma once

#include "classlib/String.h"

class COleCurrency {
 public:
  enum CurrencyStatus { valid = 0, invalid = 1, null = 2 };

  COleCurrency() { m_cur.int64 = 0; }
  COleCurrency(CY value) : m_cur(value) {}  // NOLINT(google-explicit-constructor)
  COleCurrency(long units, long fractionalUnits) { SetCurrency(units, fractionalUnits); }

  CurrencyStatus GetStatus() const { return m_status; }
  void SetStatus(CurrencyStatus status) { m_status = status; }
  operator CY() const { return m_cur; }  // NOLINT(google-explicit-constructor)

  // units + fractionalUnits / 10000.
  void SetCurrency(long units, long fractionalUnits);
  // Reads an amount as the locale writes it; FALSE (and invalid) when it cannot.
  BOOL ParseCurrency(LPCTSTR text, DWORD flags = 0, LCID locale = LANG_USER_DEFAULT);
  // The amount as a number in the locale's notation; "" when null, "Invalid Currency" when invalid.
  CString Format(DWORD flags = 0, LCID locale = LANG_USER_DEFAULT) const;

  bool operator==(const COleCurrency& other) const {
    return m_status == other.m_status && m_cur.int64 == other.m_cur.int64;
  }
  bool operator!=(const COleCurrency& other) const { return !(*this == other); }
  bool operator<(const COleCurrency& other) const { return m_cur.int64 < other.m_cur.int64; }
  COleCurrency operator+(const COleCurrency& other) const;
  COleCurrency operator-(const COleCurrency& other) const;

  CY m_cur;
  CurrencyStatus m_status = valid;
};
