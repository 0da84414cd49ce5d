#include "UpDownEdit.h"

#include <cstdlib>

IMPLEMENT_DYNAMIC(CUpDownEdit, CEdit)

BEGIN_MESSAGE_MAP(CUpDownEdit, CEdit)
  ON_WM_KEYDOWN()
  ON_WM_CHAR()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_MOUSEWHEEL()
  ON_MESSAGE(WM_SETTEXT, &CUpDownEdit::OnSetText)
  ON_MESSAGE(UEM_SETVALUE, &CUpDownEdit::OnSetValue)
  ON_MESSAGE(UEM_GETVALUE, &CUpDownEdit::OnGetValue)
END_MESSAGE_MAP()

CString CUpDownEdit::FormatValue(int value) {
  CString text;
  text.Format(minimum < 0 && value > 0 ? "+%d" : "%d", value);
  return text;
}

int CUpDownEdit::ParseValue(LPCTSTR text) { return atoi(text != nullptr ? text : ""); }

void CUpDownEdit::SetRange(int newMinimum, int newMaximum, int newStep) {
  minimum = newMinimum;
  maximum = newMaximum;
  step = newStep;
}

BOOL CUpDownEdit::SetValue(int value, BOOL clamp) {
  const long long span = static_cast<long long>(maximum) - minimum + 1;
  if (value < minimum) {
    if (wrap)
      value = static_cast<int>(maximum - ((static_cast<long long>(minimum) - value - 1) % span));
    else if (clamp)
      value = minimum;
    else
      return FALSE;
  } else if (value > maximum) {
    if (wrap)
      value = static_cast<int>(minimum + ((static_cast<long long>(value) - maximum - 1) % span));
    else if (clamp)
      value = maximum;
    else
      return FALSE;
  }
  const CString text = FormatValue(value);
  CString current;
  GetWindowText(current);
  if (current != text) {
    const BOOL reformat = reformatOnSetText;
    reformatOnSetText = FALSE;
    SetWindowText(text);
    reformatOnSetText = reformat;
  }
  return TRUE;
}

int CUpDownEdit::GetValue() {
  CString text;
  GetWindowText(text);
  return ParseValue(text);
}

BOOL CUpDownEdit::Validate(BOOL clamp) { return SetValue(GetValue(), clamp); }

void CUpDownEdit::Step(int count) {
  if (SetValue(GetValue() + count * step, FALSE)) UpdateWindow();
}

void CUpDownEdit::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  switch (key) {
    case VK_RETURN:
      Validate(TRUE);
      return;
    case VK_UP:
      StepUp();
      return;
    case VK_DOWN:
      StepDown();
      return;
    default:
      CEdit::OnKeyDown(key, repeat, flags);
  }
}

void CUpDownEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
  if (ch < 0x20 || (ch >= '0' && ch <= '9')) {
    CEdit::OnChar(ch, repeat, flags);
    return;
  }
  switch (ch) {
    case '*':
      StepUp();
      return;
    case '/':
      StepDown();
      return;
    case '+':
    case '-':
      if ((ch == '+' && maximum > 0) || (ch == '-' && minimum < 0)) {
        typedSign = ch == '+' ? 1 : 2;
        SetWindowText(ch == '+' ? "+" : "-");
        SendMessage(EM_SETSEL, 1, 1);
        SendMessage(EM_SCROLLCARET);
      }
      return;
    case '.':
      typedSign = 3;
      SetWindowText("");
      return;
    default:
      return;
  }
}

LRESULT CUpDownEdit::OnSetText(WPARAM, LPARAM lParam) {
  if (typedSign != 0) {
    static const char* const texts[] = {"", "+", "-", ""};
    const char* text = texts[typedSign];
    typedSign = 0;
    return DefWindowProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  }
  const LRESULT result = Default();
  if (reformatOnSetText) {
    reformatOnSetText = FALSE;
    Validate(FALSE);
    reformatOnSetText = TRUE;
  }
  return result;
}

void CUpDownEdit::OnSetFocus(CWnd* oldWnd) {
  CEdit::OnSetFocus(oldWnd);
  SendMessage(EM_SETSEL, 0, -1);
  SendMessage(EM_SCROLLCARET);
}

void CUpDownEdit::OnKillFocus(CWnd* newWnd) {
  CEdit::OnKillFocus(newWnd);
  Validate(TRUE);
}

BOOL CUpDownEdit::OnMouseWheel(UINT, short delta, CPoint) {
  Step(delta / WHEEL_DELTA);
  return TRUE;
}

LRESULT CUpDownEdit::OnSetValue(WPARAM wParam, LPARAM) {
  SetWindowText(FormatValue(static_cast<int>(wParam)));
  return 0;
}

LRESULT CUpDownEdit::OnGetValue(WPARAM, LPARAM) { return GetValue(); }
