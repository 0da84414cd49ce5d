// The WM_NOTIFY records of the grid control and of its in-place editors.
#pragma once

#include "GridItem.h"

struct GridNotify {
  NMHDR hdr;
  int row;
  int col;
  int prevRow;
  int prevCol;
};

// Sent by an editor to the grid when editing ends (code GN_ENDEDIT, id GRID_EDITOR_ID).
struct GridEditNotify {
  NMHDR hdr;
  GridItem item;
};

// Sent after an action cell was drawn, so that the owner can draw into it.
struct GridDrawCellNotify {
  NMHDR hdr;
  int row;
  int col;
  HDC hDC;
  RECT rect;
};

struct GridKeyDownNotify {
  NMHDR hdr;
  WORD key;
  UINT flags;
};
