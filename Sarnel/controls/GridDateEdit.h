// The grid's date editor: shows and returns the locale's short date; text that is not a date
// gives an empty text.
#pragma once

#include "GridInPlaceEdit.h"

class CGridDateEdit : public CGridInPlaceEdit {
 public:
  CGridDateEdit(int row, int col, const RECT& cellRect, const COleDateTime& date);
  BOOL Start(CWnd* grid, DWORD style, UINT firstChar);

 protected:
  CString ResultText() override;

 private:
  COleDateTime m_date;
};
