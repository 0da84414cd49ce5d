#include "GridDateEdit.h"

#include "LocaleFormat.h"

CGridDateEdit::CGridDateEdit(int row, int col, const RECT& cellRect, const COleDateTime& date)
    : CGridInPlaceEdit(row, col, cellRect), m_date(date) {}

BOOL CGridDateEdit::Start(CWnd* grid, DWORD style, UINT firstChar) {
  return CGridInPlaceEdit::Start(grid, style, FormatDate(m_date), firstChar);
}

CString CGridDateEdit::ResultText() {
  CString text;
  GetWindowText(text);
  const COleDateTime date = ParseDate(text);
  return date.GetStatus() == COleDateTime::valid ? FormatDate(date) : CString();
}
