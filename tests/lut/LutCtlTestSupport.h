// The editing control hosted the way a container hosts it: a window of the platform's control host
// with the registered control in it, and what the tests read from its window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "LutTestSupport.h"

namespace luttest {

// The control in a top-level host window of client size width x height, at the screen's corner.
class HostedLutCtl {
 public:
  HostedLutCtl(int width, int height, IStream* initial = nullptr);
  ~HostedLutCtl();
  HostedLutCtl(const HostedLutCtl&) = delete;
  HostedLutCtl& operator=(const HostedLutCtl&) = delete;

  HRESULT created = E_FAIL;
  HWND host = nullptr;
  CComPtr<ILutCtl> control;

  HWND Window() const;        // the control's own window
  HWND Child(int id) const;   // a child of it
  CComPtr<ILut> Lut() const;  // its Value
  void Resize(int width, int height);
};

// Dispatches whatever is waiting, so notifications, sizes and paints have happened.
void Pump();

std::string TextOf(HWND window);
bool Shown(HWND window);
// The pixel on the screen at a point of a window's client area, after the window painted.
COLORREF PixelAt(HWND window, int x, int y);
// The graph's plot area in its client coordinates.
RECT PlotOf(HWND graph);
// True when some pixel within one pixel of (x, y) in the window has the colour.
bool ColourNear(HWND window, int x, int y, COLORREF colour);

// Runs `step` from a timer every 50 ms on this thread (inside any modal loop) until it returns true or
// `call` ends; returns whether the step finished.
bool WhileModal(const std::function<void()>& call, const std::function<bool()>& step);

// A dialog or message box of this thread whose caption is `caption` (any "#32770" when empty).
HWND FindThreadDialog(const std::string& caption);

}  // namespace luttest
