// The grid's list editor: a drop-down pick list under the cell, owned by the grid, with a hidden
// child of the grid (control id GRID_EDITOR_ID) standing for the editor. In value mode it edits a
// cell's value from the column's pick list; in text mode it offers the pick list's texts.
#pragma once

#include "GridCellRow.h"
#include "GridNotify.h"
#include "PickListCtl.h"

class CGridListEdit : public CPickListCtl {
 public:
  enum Mode { TextMode = 0, ValueMode = 1 };
  CGridListEdit(int row, int col, const RECT& cellRect, Mode mode, const GridCellRow& list);

  // Creates the hidden window and the popup, selects the entry of `value` (value mode) or `text`
  // (text mode) and takes the focus.
  BOOL Start(CWnd* grid, const VARIANT& value, const CString& text);
  void EndWithKey(UINT key);

  // A click or a double click on an entry accepts it.
  void ItemClicked(int index) override;
  void ItemDblClicked(int index) override;

 protected:
  void PostNcDestroy() override;
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
  afx_msg UINT OnGetDlgCode();
  afx_msg void OnKillFocus(CWnd* next);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  void MoveSelection(int by);
  void Report();

  int m_row;
  int m_col;
  RECT m_cellRect;
  Mode m_mode;
  GridCellRow m_list;
  int m_startIndex = -1;
  UINT m_endKey = 0;
  bool m_escaped = false;
  BOOL m_reported = FALSE;
  HWND m_hidden = nullptr;
  HWND m_grid = nullptr;
};
