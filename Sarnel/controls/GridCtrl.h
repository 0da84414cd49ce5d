// CGridCtrl: the program's table control. Cells in rows and columns, the first ones optionally
// fixed as headings; every cell holds a text and a VARIANT value whose relation the cell's type
// decides; cells are edited in place. Reports to its owner with WM_NOTIFY (GridNotify).
#pragma once

#include "GridCell.h"
#include "GridCellRow.h"
#include "GridItem.h"
#include "GridNotify.h"

#include <set>
#include <vector>

struct GridRowInfo {
  int height = 0;
  COleVariant rowData;
};

struct GridColumnInfo {
  int width = 0;
  int stretchWeight = 0;
  GridItem defaults;
  GridCellRow pickList;
};

class CGridCtrl : public CWnd {
  DECLARE_DYNCREATE(CGridCtrl)

 public:
  static constexpr const char* ClassName = "bxqGridCtl";
  // Registers the window class once; TRUE at once when it exists. Throws the resource exception
  // when registration fails.
  static BOOL RegisterWindowClass(HINSTANCE instance);

  CGridCtrl();
  ~CGridCtrl() override;

  BOOL Create(const RECT& rect, CWnd* parent, UINT id,
              DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP);

  // ---- cells and values
  virtual CString GetItemText(int row, int col) const;
  virtual COleVariant GetItemValue(int row, int col) const;
  virtual CString GetItemTextUpper(int row, int col) const;
  virtual BOOL SetItemText(int row, int col, LPCTSTR text);
  virtual BOOL SetItemValue(int row, int col, const VARIANT* value);
  BOOL SetItem(const GridItem& item);
  BOOL GetItem(GridItem& item, BOOL restoreReturns = TRUE) const;
  int GetItemType(int row, int col) const;
  int GetItemImage(int row, int col) const;
  UINT GetItemFormat(int row, int col) const;
  int GetColumnType(int col) const;
  BOOL SetItemBkColour(int row, int col, COLORREF colour);
  BOOL SetItemFgColour(int row, int col, COLORREF colour);
  BOOL SetItemFont(int row, int col, const LOGFONTA* font);
  const LOGFONTA* GetItemFont(int row, int col) const;
  BOOL SetItemState(int row, int col, UINT state);
  UINT GetItemState(int row, int col) const;
  BOOL SetItemReadOnly(int row, int col, BOOL readOnly);
  BOOL IsItemReadOnly(int row, int col) const;
  void SetModified(BOOL modified = TRUE, int row = -1, int col = -1);
  BOOL GetModified(int row = -1, int col = -1) const;
  void SetColumnDefaults(int col, const GridItem& defaults);
  void SetColumnPickList(int col, const GridCellRow& list);
  GridCellRow GetColumnPickList(int col) const;

  // Text <-> value by cell type (the text with real carriage returns).
  static void TextToValue(int type, const char* text, COleVariant& value);
  static CString ValueToText(int type, int typeParam, const VARIANT& value);

  // ---- options
  void SetEditable(BOOL on = TRUE) { m_editable = on; }
  BOOL IsEditable() const { return m_editable; }
  void SetListMode(BOOL on = TRUE) { m_listMode = on; }
  BOOL GetListMode() const { return m_listMode; }
  void SetSingleRowSelection(BOOL on = TRUE) { m_singleRowSelection = on; }
  void EnableSelection(BOOL on = TRUE) {
    ResetSelectedRange();
    m_selectionEnabled = on;
  }
  BOOL IsSelectable() const { return m_selectionEnabled; }
  void SetHeaderSort(BOOL on = TRUE) { m_headerClicks = on; }
  void SetHandleTabKey(BOOL on = TRUE) { m_handleTab = on; }
  void SetDoubleBuffering(BOOL on = TRUE) { m_doubleBuffer = on; }
  void SetGridLines(int lines);
  int GetGridLines() const { return m_gridLines; }
  void EnableDragAndDrop(BOOL on = TRUE) { m_dragAndDrop = on; }
  void SetTypingStartsEditing(BOOL on) { m_typingEdits = on ? 1 : 0; }
  void SetSingleClickEdit(BOOL on) { m_singleClickEdit = on ? 1 : 0; }
  void SetBelowRowsBackground(BOOL on) { m_belowRowsBackground = on ? 1 : 0; }
  void SetNoFocusFrame(BOOL on) { m_noFocusFrame = on; }
  void SetNoHighlight(BOOL on) { m_noHighlight = on; }
  void SetNewRowLine(BOOL on);
  BOOL GetNewRowLine() const { return m_newRowLine; }
  void EnableRowResize(BOOL on) { m_allowRowResize = on; }
  void EnableColumnResize(BOOL on) { m_allowColResize = on; }
  void SetImageList(HIMAGELIST images) { m_imageList = images; }

  // ---- rows and columns
  int GetRowCount(BOOL includeNewRowLine = TRUE) const;
  int GetColumnCount() const { return m_cols; }
  int GetFixedRowCount() const { return m_fixedRows; }
  int GetFixedColumnCount() const { return m_fixedCols; }
  BOOL SetRowCount(int rows);
  BOOL SetColumnCount(int cols);
  BOOL SetFixedRowCount(int rows);
  BOOL SetFixedColumnCount(int cols);
  int InsertRow(LPCTSTR text, int index = -1);
  BOOL DeleteRow(int row);
  BOOL DeleteNonFixedRows();
  BOOL SwapRows(int a, int b);
  GridCell* GetCell(int row, int col) const;
  BOOL SetCell(int row, int col, GridCell* cell);
  void SetRowData(int row, const VARIANT* data);
  COleVariant GetRowData(int row) const;

  // ---- layout
  int GetRowHeight(int row) const;
  BOOL SetRowHeight(int row, int height);
  int GetColumnWidth(int col) const;
  BOOL SetColumnWidth(int col, int width);
  int GetDefaultRowHeight() const { return m_defaultRowHeight; }
  void SetDefaultRowHeight(int height) { m_defaultRowHeight = height; }
  int GetDefaultColumnWidth() const { return m_defaultColWidth; }
  int GetMargin() const { return m_margin; }
  int GetFixedRowHeight() const;
  int GetFixedColumnWidth() const;
  int GetVirtualHeight() const;
  int GetVirtualWidth() const;
  BOOL AutoSizeColumn(int col, int minWidth = 0);
  BOOL AutoSizeRow(int row, int minHeight = 0);
  BOOL SetStretchColumn(int col);
  BOOL SetStretchAllColumns();
  void ExpandColumns();
  CellID GetTopleftNonFixedCell() const;
  CellRange GetVisibleNonFixedCellRange(RECT* rect = nullptr) const;
  BOOL GetCellOrigin(int row, int col, POINT* point) const;
  BOOL GetCellRect(int row, int col, RECT* rect) const;
  BOOL GetCellRangeRect(const CellRange& range, RECT* rect) const;
  BOOL GetTextRect(const CellID& cell, RECT* rect) const;
  CellID GetCellFromPt(POINT point, BOOL allowFixed = TRUE) const;
  BOOL IsCellVisible(int row, int col) const;
  void EnsureVisible(int row, int col);
  BOOL IsValid(int row, int col) const { return row >= 0 && row < m_rows && col >= 0 && col < m_cols; }
  BOOL IsValid(const CellRange& range) const;

  // ---- redraw, colours and scroll bars
  BOOL SetRedraw(BOOL allow, BOOL resetScrollBars = FALSE);
  BOOL GetRedraw() const { return m_redraw; }
  void InvalidateCell(int row, int col);
  void InvalidateCellRect(int row, int col);
  void InvalidateRow(int row);
  BOOL RedrawCell(int row, int col, CDC* dc = nullptr);
  BOOL RedrawRow(int row, CDC* dc = nullptr);
  void SetDefaultColours();
  COLORREF GetTextColour() const;
  COLORREF GetBkColour() const;
  COLORREF GetFixedTextColour() const;
  COLORREF GetFixedBkColour() const { return m_fixedBkColour; }
  COLORREF GetOutsideColour() const { return m_outsideColour; }
  COLORREF GetGridLineColour() const { return m_gridLineColour; }
  void ResetScrollBars();
  int GetScrollPos32(int bar, BOOL tracking = FALSE);
  BOOL SetScrollPos32(int bar, int pos, BOOL redraw = TRUE);
  int GetWheelScrollLines() const { return m_wheelLines; }
  void SetWheelScrollLines(int lines) { m_wheelLines = lines; }

  // ---- focus and selection
  CellID SetFocusCell(int row, int col);
  CellID GetFocusCell() const { return m_focus; }
  void SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, BOOL forceRedraw = FALSE);
  void SetSelectedRows(int minRow, int maxRow, BOOL forceRedraw = FALSE);
  void SelectAllCells();
  void SelectColumns(CellID cell);
  void SelectRows(int row, BOOL exclusive);
  void SelectCells(CellID cell);
  void OnSelecting(CellID cell);
  void SelectRow(int row, BOOL exclusive = TRUE);
  void SetRowSelected(int row, BOOL select);
  BOOL IsRowSelected(int row) const { return m_selectedRows.count(row) != 0; }
  CellRange GetSelectedCellRange() const;
  CellRange GetSelectedRowRange() const;
  void ResetSelectedRange();
  int GetMouseMode() const { return m_mouseMode; }

  // ---- editing
  virtual void BeginEdit(int row, int col, UINT firstChar);
  BOOL EditFocusCell();
  BOOL IsCellEditable(int row, int col) const;
  virtual BOOL IsEditorActive();
  virtual void EndEditing();
  virtual void OnEndEditText(int row, int col, LPCTSTR text);
  virtual void OnEndEditValue(int row, int col, const VARIANT* value);

  // ---- clipboard and sorting
  virtual BOOL ClearSelectedCells();
  // The selected cells as clipboard text (tab between cells, line feed between rows); empty
  // when no valid range is selected.
  CString GetSelectedText() const;
  virtual IDataObject* CopyTextFromGrid();
  virtual BOOL PasteTextToGrid(CellID cell, IDataObject* data);
  BOOL PasteText(CellID cell, const char* text);
  virtual void OnEditCopy();
  virtual BOOL OnEditCut();
  virtual void OnEditPaste();
  virtual void OnEditSelectAll();
  // Select All is offered exactly while selection is enabled.
  afx_msg void OnUpdateEditSelectAll(CCmdUI* cmdUI);
  BOOL SortByColumn(int col, BOOL ascending);
  BOOL SortRows(int col, BOOL ascending, int low = 0, int high = -1);
  int CompareRows(int rowA, int rowB, int col);
  int GetSortColumn() const { return m_sortColumn; }
  BOOL GetSortAscending() const { return m_sortAscending; }

  // ---- drag image and printing
  // A one-image list (masked with the background colour) showing the focus cell as drawn, of the
  // cell's size (given back in size); the caller owns it. Null when the focus cell has no
  // rectangle (not valid, or scrolled out) or no image can be made.
  CImageList* CreateDragImage(SIZE* size);
  // Called by the owner's print loop with the printer DC: the grid's rows over as many pages as
  // they take (a row is never split), each page with a header, the column headings and a footer.
  virtual void OnBeginPrinting(CDC* dc, CPrintInfo* info);
  virtual void OnPrint(CDC* dc, CPrintInfo* info);
  virtual void OnEndPrinting(CDC* dc, CPrintInfo* info);

  // ---- drawing hooks
  virtual BOOL OnDraw(CDC* dc);
  virtual BOOL DrawFixedCell(CDC* dc, int row, int col, RECT rect, BOOL erase = FALSE);
  virtual BOOL DrawCell(CDC* dc, int row, int col, RECT rect, BOOL erase = FALSE);
  virtual SIZE GetCellExtent(int row, int col, CDC* dc);

  // ---- cell life and notifications
  virtual GridCell* CreateCell(int row, int col);
  virtual void DestroyCell(GridCell* cell, int row, int col);
  virtual void ClearCell(GridCell* cell, int row, int col);
  virtual void OnRowDeleting(int row);
  virtual BOOL NotifyFilter(GridNotify* record, LRESULT* result);
  virtual void OnFixedColumnClick(CellID cell);
  virtual void OnFixedRowClick(CellID cell);
  // The parts of a printed page, each in info->m_rectDraw.
  virtual void PrintHeader(CDC* dc, CPrintInfo* info);
  virtual void PrintColumnHeadings(CDC* dc, CPrintInfo* info);
  virtual void PrintFooter(CDC* dc, CPrintInfo* info);
  LRESULT SendGridNotify(int code, int row = -1, int col = -1, int prevRow = -1, int prevCol = -1);
  // Applies one key press to the focus cell as the keyboard does.
  void HandleKey(UINT key, BOOL shift, BOOL ctrl);

  // Check-box size of check and toggle cells.
  static SIZE GetBoxSize();

 protected:
  void PreSubclassWindow() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnEnable(BOOL enable);
  afx_msg void OnSysColorChange();
  afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
  afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
  afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnTimer(UINT_PTR id);
  afx_msg void OnCaptureChanged(CWnd* wnd);
  afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
  afx_msg UINT OnGetDlgCode();
  afx_msg void OnSetFocus(CWnd* old);
  afx_msg void OnKillFocus(CWnd* next);
  afx_msg void OnDestroy();
  afx_msg LRESULT OnSetFontMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetFontMessage(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  void ApplyFont(const LOGFONTA& font);
  void DrawCheckBox(HDC dc, const RECT& rect, const GridCell& cell, BOOL hasText);
  void DrawCellText(HDC dc, RECT rect, const GridCell& cell, UINT extraFlags);
  void DrawImage(HDC dc, RECT& rect, const GridCell& cell);
  void ScrollBy(int bar, UINT code);
  void DestroyRowCells(int row);
  void ShiftIndexesForInsert(int index);
  void ShiftIndexesForDelete(int row);
  void HandleEditorEnd(const GridEditNotify& record);
  BOOL HasFocusOrEditor();
  HWND Receiver() const;
  int FirstNonFixedRow() const { return m_fixedRows; }
  int FirstNonFixedCol() const { return m_fixedCols; }
  void ReadWheelScrollLines();
  // The column (row) whose size a divider under p changes; -1 when p is on no divider.
  int ColumnDividerAt(CPoint p) const;
  int RowDividerAt(CPoint p) const;
  void InvertSizingLine(int pos, BOOL vertical);
  BOOL KeyMove(UINT& key, BOOL shift, BOOL ctrl, int& r, int& c);
  void FinishMove(CellID start, int r, int c, BOOL shift, BOOL tab);
  int CompareCells(int rowA, int rowB, int col);
  // The first row of every printed page.
  std::vector<int> PrintPageStarts() const;

  BOOL m_inSize = FALSE;
  COLORREF m_textColour = 0, m_disabledTextColour = 0, m_bkColour = 0, m_disabledBkColour = 0;
  COLORREF m_outsideColour = 0, m_fixedTextColour = 0, m_disabledFixedTextColour = 0;
  COLORREF m_fixedBkColour = 0, m_gridLineColour = 0;

  int m_gridLines = 3;
  BOOL m_editable = TRUE;
  BOOL m_modified = FALSE;
  BOOL m_dragAndDrop = FALSE;
  BOOL m_listMode = FALSE;
  BOOL m_singleRowSelection = FALSE;
  BOOL m_redraw = TRUE;
  BOOL m_selectionEnabled = TRUE;
  BOOL m_headerClicks = TRUE;
  BOOL m_handleTab = TRUE;
  BOOL m_doubleBuffer = TRUE;
  int m_stretchMode = 0;
  int m_stretchColumn = -1;
  BOOL m_newRowLine = FALSE;
  BOOL m_noFocusFrame = FALSE;
  BOOL m_noHighlight = FALSE;
  BYTE m_typingEdits = 1;
  BYTE m_singleClickEdit = 0;
  BYTE m_belowRowsBackground = 0;

  int m_rows = 0, m_fixedRows = 0, m_cols = 0, m_fixedCols = 0;
  int m_margin = 0, m_defaultColWidth = 0, m_defaultRowHeight = 0;
  int m_vScrollMax = 0, m_hScrollMax = 0;

  std::vector<GridRowInfo> m_rowInfo;
  std::vector<GridColumnInfo> m_colInfo;
  LOGFONTA m_logFont{};
  HFONT m_gridFont = nullptr;
  HIMAGELIST m_imageList = nullptr;
  std::vector<std::vector<GridCell*>> m_cells;

  int m_mouseMode = 0;
  CPoint m_downPoint;
  CPoint m_lastMouse;
  CellID m_clickDownCell;
  CellID m_selectionStart;
  CellID m_focus;
  UINT_PTR m_timerId = 0;
  UINT m_timerInterval = 25;
  int m_resizeCapture = 3;
  BOOL m_allowRowResize = FALSE;
  BOOL m_allowColResize = FALSE;
  int m_wheelLines = 3;
  int m_sizingIndex = -1;

  std::set<CellID> m_selectedCells;
  std::set<CellID> m_prevSelectedCells;
  std::set<int> m_selectedRows;
  std::set<int> m_prevSelectedRows;

  // Print metrics, set when printing begins.
  HFONT m_printFont = nullptr;
  int m_printCharWidth = 0, m_printCharHeight = 0;
  int m_printRowsHeight = 0;
  int m_logicalPageWidth = 0, m_logicalPageHeight = 0;
  int m_printerPageWidth = 0, m_printerPageHeight = 0;

  BOOL m_initialisedOle = FALSE;
  BOOL m_sortAscending = TRUE;
  int m_sortColumn = -1;
};
