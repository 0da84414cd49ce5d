// Addresses, bits and codes shared by the grid control, its editors and its owners.
#pragma once

#include "classlib/ClassLib.h"

// One cell; -1 in either part means none.
struct CellID {
  int row = -1;
  int col = -1;
  CellID() = default;
  CellID(int r, int c) : row(r), col(c) {}
  bool IsValid() const { return row >= 0 && col >= 0; }
  bool operator==(const CellID& o) const { return row == o.row && col == o.col; }
  bool operator!=(const CellID& o) const { return !(*this == o); }
  bool operator<(const CellID& o) const { return row != o.row ? row < o.row : col < o.col; }
};

// A rectangle of cells, inclusive at both ends.
struct CellRange {
  int minRow = -1;
  int minCol = -1;
  int maxRow = -1;
  int maxCol = -1;
  CellRange() = default;
  CellRange(int r0, int c0, int r1, int c1) : minRow(r0), minCol(c0), maxRow(r1), maxCol(c1) {}
  bool operator==(const CellRange& o) const {
    return minRow == o.minRow && minCol == o.minCol && maxRow == o.maxRow && maxCol == o.maxCol;
  }
  bool Contains(int r, int c) const { return r >= minRow && r <= maxRow && c >= minCol && c <= maxCol; }
};

// How a cell keeps its value, draws itself and is edited.
enum GridCellType {
  gctText = 0,
  gctPickList = 1,
  gctString = 2,
  gctInteger = 3,
  gctReal = 4,
  gctDate = 5,
  gctCurrency = 6,
  gctCheck = 7,
  gctAction = 8,
  gctToggle = 9,
};

// Which fields of a GridItem a transfer touches.
enum : UINT {
  GVIF_TEXT = 0x0001,
  GVIF_VALUE = 0x0002,
  GVIF_TYPE = 0x0004,
  GVIF_IMAGE = 0x0008,
  GVIF_STATE = 0x0010,
  GVIF_BKCLR = 0x0020,
  GVIF_FGCLR = 0x0040,
  GVIF_FORMAT = 0x0080,
  GVIF_FONT = 0x0100,
  GVIF_ELLIPSIS = 0x0200,
  GVIF_USERVALUE = 0x1000,
  GVIF_AUXVALUE = 0x2000,
};

// Cell state bits.
enum : UINT {
  GVIS_FOCUSED = 0x001,
  GVIS_SELECTED = 0x002,
  GVIS_FRAMED = 0x004,
  GVIS_READONLY = 0x008,
  GVIS_MODIFIED = 0x020,
  GVIS_NOHIGHLIGHT = 0x040,
  GVIS_NOFOCUSFRAME = 0x080,
  GVIS_CLICKEDIT = 0x100,
};

// Notification codes of the grid (NM_CLICK and NM_DBLCLK are the common ones).
enum : int {
  GN_FOCUSCHANGING = -100,
  GN_FOCUSCHANGED = -101,
  GN_DELETECELL = -103,
  GN_BEGINEDIT = -105,
  GN_ENDEDIT = -106,
  GN_BEGINDRAG = -109,
  GN_KEYDOWN = -120,
  GN_ROWSELCHANGING = -123,
  GN_ROWSELCHANGED = -124,
  GN_SELCHANGED = -126,
  GN_DELETEROW = -128,
  GN_DRAWCELL = -129,
  GN_SORTBEGIN = -130,
  GN_SORTEND = -131,
};

// The colour value that means "the grid's colour".
constexpr COLORREF GRID_DEFAULT_COLOUR = 0xFF000000;
// The character that stands for a carriage return inside stored and edited cell texts.
constexpr char GRID_RETURN_MARK = static_cast<char>(182);
// The control id of every in-place editor.
constexpr UINT GRID_EDITOR_ID = 8;
