// An integer edit with a small drop-down button in its non-client area; the button (or Ctrl with
// the period key) opens a tiny slider under the edit whose value is written into the edit and
// reported to the parent as it changes (WM_SLIDER_CHANGED, then WM_SLIDER_CLOSED).
#pragma once

#include "UpDownEdit.h"

constexpr UINT WM_SLIDER_CHANGED = 2225;
constexpr UINT WM_SLIDER_CLOSED = 2226;

class wcSliderButton : public CUpDownEdit {
  DECLARE_DYNAMIC(wcSliderButton)

 public:
  wcSliderButton() = default;

  virtual BOOL Create(BOOL buttonOnLeft, DWORD exStyle, LPCTSTR text, DWORD style, const RECT& rect,
                      CWnd* parent, UINT id);
  virtual void OnValueOutOfRange() {}
  // 0 fine, 1 a number outside the range, 2 not a number, 3 a lone sign.
  virtual int CheckText();

  void SetButtonOnLeft(BOOL onLeft);
  void ShowButton(BOOL show);
  void SetRange(int minimum, int maximum);
  void SetPos(int value);
  int GetPos() const { return sliderValue; }
  CRect GetButtonRect() const { return buttonRect; }
  void OpenPopup(int x, int y, BOOL keyboardMode);
  void RecalcFrame();

 protected:
  afx_msg void OnNcCalcSize(BOOL validRects, NCCALCSIZE_PARAMS* params);
  afx_msg LRESULT OnNcHitTest(CPoint point);
  afx_msg void OnNcPaint();
  afx_msg void OnEnable(BOOL enable);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnNcLButtonDown(UINT hitTest, CPoint point);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnUpdate();
  afx_msg LRESULT OnPopupChanged(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnPopupClosed(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  void DrawButton(int state);

  BOOL buttonShown = TRUE;
  BOOL buttonOnLeft = FALSE;
  BOOL buttonPressed = FALSE;
  int buttonState = 0;
  CRect buttonRect;
  int sliderValue = 0;
  int sliderMinimum = 0;
  int sliderMaximum = 100;

  friend void DDX_SliderButton(CDataExchange*, int, wcSliderButton&, BOOL);
};

void DDX_SliderButton(CDataExchange* pDX, int nIDC, wcSliderButton& control, BOOL buttonOnLeft);
