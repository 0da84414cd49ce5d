// A small popup grid of squares in which the user drags out how many columns and rows of
// thumbnails to show. The caller sets Columns and Rows, runs TrackPopup and reads them back
// (Escape restores the starting values).
#pragma once

#include "classlib/ClassLib.h"

class CCellSizeCtl : public CWnd {
 public:
  CCellSizeCtl();
  ~CCellSizeCtl() override;

  int columns = 2;
  int rows = 2;
  int minimumColumns = 1;
  int minimumRows = 1;

  // FALSE when the window cannot be made; else TRUE once the popup has closed.
  BOOL TrackPopup(CPoint point, CWnd* parent);
  int GetQuadrant() const { return quadrant; }

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnSize(UINT type, int cx, int cy);
  DECLARE_MESSAGE_MAP()

 private:
  bool GrowsRight() const { return quadrant == 0 || quadrant == 2; }
  bool GrowsDown() const { return quadrant == 0 || quadrant == 1; }
  CSize WindowSize() const;
  void Place(CPoint point);
  void Resize();
  void ComputeChoice();
  void ApplyChange(int columnsDelta, int rowsDelta);

  int cellWidth, cellHeight, gapWidth, gapHeight;
  HBRUSH chosenBrush;
  HBRUSH freeBrush;
  int frameWidth = 0, frameHeight = 0;
  int startColumns = 0, startRows = 0;
  int shownColumns = 0, shownRows = 0;
  int quadrant = 0;
  CPoint fixedCorner;
  CRect choice;
  bool mayShrinkX = false, mayShrinkY = false;
  CPoint lastCursor;
  bool acceptOnRelease = false;
};
