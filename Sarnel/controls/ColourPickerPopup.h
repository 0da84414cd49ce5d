// The colour palette that a colour picker drops down: 40 named colours, an optional box for the
// automatic colour above them and an optional box below that opens the system colour dialog.
// It holds the mouse capture while open and reports to its picker with WM_COLOUR_* messages;
// the object belongs to its window.
#pragma once

#include "classlib/ClassLib.h"

class CColourPicker;

class CColourPickerPopup : public CWnd {
 public:
  static constexpr int ColourCount = 40;
  static constexpr int Columns = 8;
  static constexpr int Rows = ColourCount / Columns + (ColourCount % Columns ? 1 : 0);
  // Hot and chosen box codes besides the colour indexes.
  static constexpr int NoBox = -1;
  static constexpr int CustomBox = -2;
  static constexpr int DefaultBox = -3;

  struct NamedColour {
    COLORREF colour;
    const char* name;
  };
  static const NamedColour Colours[ColourCount];

  CColourPickerPopup();
  ~CColourPickerPopup() override;

  BOOL Create(CPoint point, COLORREF colour, CColourPicker* picker, LPCTSTR defaultText, LPCTSTR customText);

  int GetHotBox() const { return hotBox; }
  int GetChosenBox() const { return chosenBox; }
  CRect GetBoxRect(int box) const;

 protected:
  void PostNcDestroy() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  afx_msg void OnPaint();
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnKillFocus(CWnd* newWnd);
  afx_msg void OnActivateApp(BOOL active, DWORD threadId);
  afx_msg BOOL OnQueryNewPalette();
  afx_msg void OnPaletteChanged(CWnd* focusWnd);
  DECLARE_MESSAGE_MAP()

 private:
  void Layout(CPoint point);
  void CreateToolTips();
  int FindChosenBox() const;
  void DrawBox(CDC& dc, int box);
  void DrawTextBox(CDC& dc, int box);
  void ChangeHotBox(int box);
  int NextBox(UINT key) const;
  void EndSelection(bool choice);

  int boxSize = 18;
  int margin = 2;
  int hotBox = NoBox;
  int chosenBox = NoBox;
  COLORREF initialColour = 0;
  COLORREF colour = 0;
  HWND picker = nullptr;
  CString defaultText;
  CString customText;
  CFont font;
  CPalette palette;
  CToolTipCtrl toolTip;
  CRect windowRect;
  CRect defaultRect;
  CRect customRect;
  bool ending = false;
};
