// The grid the editing control draws its curve on: a window of class "LutGraph" that paints a
// quarter-inch grid and asks its parent to draw the curve into the plot area.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace lut {

// WM_NOTIFY code 0 from the graph, sent while it paints (only when enabled).
struct LutGraphPaint {
  NMHDR header;
  HDC dc;
  RECT plot;
  RECT client;
};

// Registers the class once per process; false when it cannot be registered.
bool RegisterLutGraphClass(HINSTANCE instance);

// The plot area of a client area: whole quarter-inch cells, as many as fit, centred.
RECT LutGraphPlot(const RECT& client, int pixelsX, int pixelsY);

}  // namespace lut
