// The common part of the grid's edit-box editors: created over a cell as a child of the grid
// (control id GRID_EDITOR_ID), it reports its result with a GridEditNotify when it loses the
// focus, then closes and deletes itself.
#pragma once

#include "GridNotify.h"

class CGridInPlaceEdit : public CEdit {
 public:
  CGridInPlaceEdit(int row, int col, const RECT& cellRect);

  // Creates the window, shows `text`, takes the focus and handles the first character.
  BOOL Start(CWnd* grid, DWORD style, const CString& text, UINT firstChar);
  // Ends editing with a key: remembers it and gives the focus back to the grid.
  void EndWithKey(UINT key);
  int GetRow() const { return m_row; }
  int GetCol() const { return m_col; }

 protected:
  // FALSE refuses a typed character (it beeps and is dropped).
  virtual BOOL AcceptChar(UINT) { return TRUE; }
  // The text reported to the grid.
  virtual CString ResultText();
  // Whether a taken character may widen the editor.
  virtual BOOL GrowsWithText() const { return FALSE; }
  void GrowToText();

  BOOL PreTranslateMessage(MSG* msg) override;
  void PostNcDestroy() override;
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
  afx_msg UINT OnGetDlgCode();
  afx_msg void OnKillFocus(CWnd* next);
  DECLARE_MESSAGE_MAP()

  int m_row;
  int m_col;
  RECT m_cellRect;
  CString m_startText;
  UINT m_endKey = 0;
  BOOL m_leaveOnArrows = TRUE;
  BOOL m_reported = FALSE;
};
