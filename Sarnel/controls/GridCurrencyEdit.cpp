#include "GridCurrencyEdit.h"

#include "LocaleFormat.h"

CGridCurrencyEdit::CGridCurrencyEdit(int row, int col, const RECT& cellRect, const COleCurrency& amount)
    : CGridInPlaceEdit(row, col, cellRect), m_amount(amount) {}

BOOL CGridCurrencyEdit::Start(CWnd* grid, DWORD style, UINT firstChar) {
  return CGridInPlaceEdit::Start(grid, style, FormatCurrency(m_amount), firstChar);
}

CString CGridCurrencyEdit::ResultText() {
  CString text;
  GetWindowText(text);
  const COleCurrency amount = ParseCurrency(text);
  return amount.GetStatus() == COleCurrency::valid ? FormatCurrency(amount) : CString();
}
