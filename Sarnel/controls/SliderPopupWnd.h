// The tiny horizontal slider that a slider button drops down. It follows the mouse (or the arrow
// keys), reports every value to its button and closes on release, a click, Enter, Escape or
// Space; it deletes itself with its window.
#pragma once

#include "classlib/ClassLib.h"

class wcSliderButton;

class CSliderPopupWnd : public CWnd {
 public:
  CSliderPopupWnd() = default;
  BOOL Create(int x, int y, int value, int minimum, int maximum, wcSliderButton* button, BOOL keyboardMode);

  int GetValue() const { return value; }
  int TrackLength() const { return length; }
  int Margin() const { return margin; }

 protected:
  void PostNcDestroy() override { delete this; }
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
  afx_msg void OnActivateApp(BOOL active, DWORD threadId);
  afx_msg void OnKillFocus(CWnd* newWnd);
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  DECLARE_MESSAGE_MAP()

 private:
  int OffsetOf(int v) const;
  int ValueAt(int x) const;
  void SetValue(int v, bool notify);
  void Close();

  HWND button = nullptr;
  int value = 0;
  int thumb = 0;
  int minimum = 0;
  int maximum = 100;
  int step = 1;
  bool changed = false;
  bool moved = false;
  bool dragging = false;
  bool stayOpen = false;
  bool closing = false;
  CPoint start;
  int length = 0;
  int margin = 0;
  int unitX = 0;
  int unitY = 0;
};
