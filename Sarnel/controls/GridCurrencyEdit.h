// The grid's currency editor: shows and returns the locale's currency text; text that is not an
// amount gives an empty text.
#pragma once

#include "GridInPlaceEdit.h"

class CGridCurrencyEdit : public CGridInPlaceEdit {
 public:
  CGridCurrencyEdit(int row, int col, const RECT& cellRect, const COleCurrency& amount);
  BOOL Start(CWnd* grid, DWORD style, UINT firstChar);

 protected:
  CString ResultText() override;

 private:
  COleCurrency m_amount;
};
