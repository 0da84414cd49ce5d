// The value record through which grid cells are read and written.
#pragma once

#include "GridTypes.h"

struct GridItem {
  int row = 0;
  int col = 0;
  CString text;
  bool noText = true;
  COleVariant value;
  int type = 0;
  int typeParam = 0;
  UINT mask = 0;
  UINT state = 0;
  UINT format = 0;
  int ellipsis = 0;
  int image = -1;
  COLORREF bkColour = GRID_DEFAULT_COLOUR;
  COLORREF fgColour = GRID_DEFAULT_COLOUR;
  int userValue = 0;
  COleVariant auxValue;
  LOGFONTA font{};

  GridItem() = default;
  GridItem(int r, int c, UINT m) : row(r), col(c), mask(m) {}
};
