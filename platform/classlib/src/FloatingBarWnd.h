// The small tool window a floating control bar lives in. It belongs to the bar's frame (owned by
// the frame's top-level window), carries the bar's title in its caption and is exactly the bar's
// size. Its close box hides the bar through the frame, so whatever shows the bar's state (a
// menu check, the stored bar state) follows.
#pragma once

#include "classlib/ControlBar.h"
#include "classlib/FrameWnd.h"

#include <vector>

class CFloatingBarWnd : public CWnd {
 public:
  // Moves the bar into a new tool window whose top left corner is at point (screen coordinates).
  // The window is shown when the bar is. Null when the window cannot be made.
  static CFloatingBarWnd* Float(CFrameWnd* frame, CControlBar* bar, CPoint point, BOOL horizontal);
  // The tool window holding the bar, or null when the bar is not floating.
  static CFloatingBarWnd* Of(const CControlBar* bar);
  // The tool windows of the frame's floating bars.
  static std::vector<CFloatingBarWnd*> OfFrame(const CFrameWnd* frame);

  CFrameWnd* GetFrame() const { return frame; }
  // The bar, or null once its window or object has gone.
  CControlBar* GetBar() const;
  // Puts the window's top left corner at point and fits it round the bar.
  void Place(CPoint point, BOOL horizontal);
  // Shows or hides the window along with the bar.
  void Follow(BOOL shown);
  // Gives the bar back to the frame as a child and destroys the window.
  void ReturnBar();

 protected:
  void PostNcDestroy() override;

  afx_msg void OnClose();
  afx_msg void OnParentNotify(UINT message, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  CFloatingBarWnd(CFrameWnd* frame, CControlBar* bar) : frame(frame), barWindow(bar->m_hWnd) {}

  CFrameWnd* frame;
  // Kept as a handle: the bar's object may go before this window does.
  HWND barWindow;
  bool created = false;  // only a window that exists deletes its object when it goes
};
