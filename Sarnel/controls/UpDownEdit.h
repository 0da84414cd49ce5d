// A single-line edit that holds an integer within a range: the arrow keys, the keypad's multiply
// and divide keys and the mouse wheel step it, typed text is validated, and a sign may be typed
// first. Derived classes may format the number with a unit (FormatValue); ParseValue reads the
// leading number and ignores such a suffix.
#pragma once

#include "classlib/ClassLib.h"

constexpr UINT UEM_SETVALUE = 0x400;
constexpr UINT UEM_GETVALUE = 0x401;

class CUpDownEdit : public CEdit {
  DECLARE_DYNAMIC(CUpDownEdit)

 public:
  CUpDownEdit() = default;

  virtual CString FormatValue(int value);
  virtual int ParseValue(LPCTSTR text);

  void SetRange(int minimum, int maximum, int step = 1);
  int GetMinimum() const { return minimum; }
  int GetMaximum() const { return maximum; }
  void SetWrap(BOOL on) { wrap = on; }
  BOOL SetValue(int value, BOOL clamp);
  BOOL Validate(BOOL clamp);
  int GetValue();
  void Step(int count);
  void StepUp() { Step(1); }
  void StepDown() { Step(-1); }

 protected:
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
  afx_msg void OnSetFocus(CWnd* oldWnd);
  afx_msg void OnKillFocus(CWnd* newWnd);
  afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetValue(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetValue(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

  int minimum = 1;
  int maximum = 100;
  int step = 1;
  BOOL wrap = FALSE;
  BOOL reformatOnSetText = TRUE;
  // 0 none; 1 "+", 2 "-", 3 cleared: what the next WM_SETTEXT stores instead of its text.
  int typedSign = 0;
};
