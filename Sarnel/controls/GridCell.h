// One cell of the grid control, owned by the grid.
#pragma once

#include "GridTypes.h"

class GridCell {
 public:
  virtual ~GridCell() = default;

  CString text;  // a carriage return is held as GRID_RETURN_MARK
  bool noText = true;
  COleVariant value;
  int type = gctText;
  int typeParam = 0;
  UINT state = 0;
  UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
  int ellipsis = 1;
  int image = -1;
  COLORREF bkColour = GRID_DEFAULT_COLOUR;
  COLORREF fgColour = GRID_DEFAULT_COLOUR;
  LOGFONTA font{};
  int userValue = 0;
  COleVariant auxValue;
};
