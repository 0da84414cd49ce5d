// The grid's text editor: one line (a line break can be entered where the cell allows it), with an
// optional integer or decimal character filter; it widens as the text grows.
#pragma once

#include "GridInPlaceEdit.h"

class CGridTextEdit : public CGridInPlaceEdit {
 public:
  enum Filter { NoFilter = 0, IntegerFilter = 1, DecimalFilter = 2 };
  CGridTextEdit(int row, int col, const RECT& cellRect, int filter, BOOL lineBreaks);

 protected:
  BOOL AcceptChar(UINT ch) override;
  BOOL GrowsWithText() const override { return TRUE; }
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnKeyUp(UINT key, UINT repeat, UINT flags);
  afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
  DECLARE_MESSAGE_MAP()

 private:
  int m_filter;
  BOOL m_lineBreaks;
  BOOL m_pendingBreak = FALSE;
};
