#include "classlib/DataExchange.h"

#include "classlib/App.h"
#include "classlib/Exception.h"
#include "classlib/Prompt.h"
#include "classlib/StandardIds.h"
#include "classlib/Wnd.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cstdlib>

CString AfxLayerString(UINT nID) {
  CString text;
  if (text.LoadString(nID) && !text.IsEmpty()) return text;
  switch (nID) {
    case AFX_IDS_IDLEMESSAGE:
      return "Ready";
    case AFX_IDP_PARSE_INT:
      return "Please enter an integer.";
    case AFX_IDP_PARSE_REAL:
      return "Please enter a number.";
    case AFX_IDP_PARSE_INT_RANGE:
      return "Please enter an integer between %1 and %2.";
    case AFX_IDP_PARSE_REAL_RANGE:
      return "Please enter a number between %1 and %2.";
    case AFX_IDP_PARSE_STRING_SIZE:
      return "Please enter no more than %1 characters.";
    case AFX_IDP_PARSE_RADIO_BUTTON:
      return "Please select a button.";
    case AFX_IDP_PARSE_UINT:
      return "Please enter a positive integer.";
    default:
      return "An unexpected error occurred.";
  }
}

namespace {

void Prompt(CDataExchange* pDX, UINT nID, LPCTSTR insert1 = nullptr, LPCTSTR insert2 = nullptr) {
  CString text = AfxLayerString(nID);
  if (insert1 != nullptr) text.Replace("%1", insert1);
  if (insert2 != nullptr) text.Replace("%2", insert2);
  AfxPrompt(AfxSafeHwnd(pDX->m_pDlgWnd), text, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION, nID);
}

CString WindowText(HWND hWnd) {
  CString text;
  int length = ::GetWindowTextLengthA(hWnd);
  char* buffer = text.GetBuffer(length + 1);
  int got = ::GetWindowTextA(hWnd, buffer, length + 1);
  text.ReleaseBuffer(got);
  return text;
}

// The whole text must be the number, apart from surrounding blanks.
bool OnlyBlanksFrom(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return *p == '\0';
}

bool ParseLong(const CString& text, long long& value) {
  const char* start = text;
  while (*start == ' ' || *start == '\t') ++start;
  if (*start == '\0') return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(start, &end, 10);
  return end != start && errno == 0 && OnlyBlanksFrom(end);
}

bool ParseDouble(const CString& text, double& value) {
  const char* start = text;
  while (*start == ' ' || *start == '\t') ++start;
  if (*start == '\0') return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtod(start, &end);
  return end != start && errno == 0 && OnlyBlanksFrom(end);
}

template <class T>
void TextInteger(CDataExchange* pDX, int nIDC, T& value, long long minVal, long long maxVal, UINT failId,
                 const char* format) {
  HWND hWnd = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    long long parsed = 0;
    if (!ParseLong(WindowText(hWnd), parsed) || parsed < minVal || parsed > maxVal) {
      Prompt(pDX, failId);
      pDX->Fail();
    }
    value = static_cast<T>(parsed);
  } else {
    CString text;
    text.Format(format, value);
    ::SetWindowTextA(hWnd, text);
  }
}

template <class T>
void TextReal(CDataExchange* pDX, int nIDC, T& value, int digits, double limit) {
  HWND hWnd = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    double parsed = 0;
    if (!ParseDouble(WindowText(hWnd), parsed) || parsed > limit || parsed < -limit) {
      Prompt(pDX, AFX_IDP_PARSE_REAL);
      pDX->Fail();
    }
    value = static_cast<T>(parsed);
  } else {
    CString text;
    text.Format("%.*g", digits, static_cast<double>(value));
    ::SetWindowTextA(hWnd, text);
  }
}

bool IsRadioButton(HWND hWnd) {
  if ((::SendMessageA(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0) return true;
  DWORD type = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, GWL_STYLE)) & 0x0F;
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

template <class T>
void RangeCheck(CDataExchange* pDX, T value, T minVal, T maxVal, UINT nID, const char* format) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString low, high;
  low.Format(format, minVal);
  high.Format(format, maxVal);
  Prompt(pDX, nID, low, high);
  pDX->Fail();
}

}  // namespace

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND hWnd = ::GetDlgItem(AfxSafeHwnd(m_pDlgWnd), nIDC);
  if (hWnd == nullptr) AfxThrowNotSupportedException();
  m_hWndLastControl = hWnd;
  m_idLastControl = nIDC;
  m_bEditLastControl = FALSE;
  return hWnd;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND hWnd = PrepareCtrl(nIDC);
  m_bEditLastControl = TRUE;
  return hWnd;
}

void CDataExchange::Fail() {
  if (m_hWndLastControl != nullptr && ::IsWindow(m_hWndLastControl)) {
    HWND dialog = AfxSafeHwnd(m_pDlgWnd);
    if (dialog != nullptr)
      ::SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hWndLastControl), TRUE);
    ::SetFocus(m_hWndLastControl);
    if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
  }
  AfxThrowUserException();
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd != nullptr) return;
  HWND hWnd = pDX->PrepareCtrl(nIDC);
  if (!rControl.SubclassWindow(hWnd)) AfxThrowNotSupportedException();
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWnd = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = WindowText(hWnd);
  } else {
    ::SetWindowTextA(hWnd, value);
  }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  TextInteger(pDX, nIDC, value, INT_MIN, INT_MAX, AFX_IDP_PARSE_INT, "%d");
}
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
  TextInteger(pDX, nIDC, value, LONG_MIN, LONG_MAX, AFX_IDP_PARSE_INT, "%ld");
}
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
  TextInteger(pDX, nIDC, value, 0, UINT_MAX, AFX_IDP_PARSE_UINT, "%u");
}
void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value) {
  TextInteger(pDX, nIDC, value, 0, ULONG_MAX, AFX_IDP_PARSE_UINT, "%lu");
}
void DDX_Text(CDataExchange* pDX, int nIDC, float& value) { TextReal(pDX, nIDC, value, FLT_DIG, FLT_MAX); }
void DDX_Text(CDataExchange* pDX, int nIDC, double& value) { TextReal(pDX, nIDC, value, DBL_DIG, DBL_MAX); }

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND hWnd = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = static_cast<int>(::SendMessageA(hWnd, BM_GETCHECK, 0, 0));
  } else {
    ::SendMessageA(hWnd, BM_SETCHECK, static_cast<WPARAM>(value < 0 || value > 2 ? 0 : value), 0);
  }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  HWND hWnd = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = -1;
  int index = 0;
  for (HWND button = hWnd; button != nullptr; button = ::GetWindow(button, GW_HWNDNEXT)) {
    if (button != hWnd && (::GetWindowLongPtrA(button, GWL_STYLE) & WS_GROUP) != 0) break;
    if (!IsRadioButton(button)) continue;
    if (pDX->m_bSaveAndValidate) {
      if (::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
    } else {
      ::SendMessageA(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    ++index;
  }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND hWnd = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    index = static_cast<int>(::SendMessageA(hWnd, CB_GETCURSEL, 0, 0));
  } else {
    ::SendMessageA(hWnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWnd = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = WindowText(hWnd);
  } else if (::SendMessageA(hWnd, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(value))) == CB_ERR) {
    ::SetWindowTextA(hWnd, value);
  }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND hWnd = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    index = static_cast<int>(::SendMessageA(hWnd, LB_GETCURSEL, 0, 0));
  } else {
    ::SendMessageA(hWnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWnd = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    int index = static_cast<int>(::SendMessageA(hWnd, LB_GETCURSEL, 0, 0));
    value.Empty();
    if (index != LB_ERR) {
      int length = static_cast<int>(::SendMessageA(hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0));
      char* buffer = value.GetBuffer(length + 1);
      int got = static_cast<int>(
          ::SendMessageA(hWnd, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)));
      value.ReleaseBuffer(got < 0 ? 0 : got);
    }
  } else {
    ::SendMessageA(hWnd, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(value)));
  }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
  RangeCheck(pDX, value, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%d");
}
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) {
  RangeCheck(pDX, value, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%u");
}
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal) {
  RangeCheck(pDX, value, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%ld");
}
void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal) {
  RangeCheck(pDX, value, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%lu");
}
void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal) {
  RangeCheck(pDX, static_cast<double>(value), static_cast<double>(minVal), static_cast<double>(maxVal),
             AFX_IDP_PARSE_REAL_RANGE, "%g");
}
void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal) {
  RangeCheck(pDX, value, minVal, maxVal, AFX_IDP_PARSE_REAL_RANGE, "%g");
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
  if (pDX->m_bSaveAndValidate && value.GetLength() > nChars) {
    CString limit;
    limit.Format("%d", nChars);
    Prompt(pDX, AFX_IDP_PARSE_STRING_SIZE, limit);
    pDX->Fail();
  } else if (!pDX->m_bSaveAndValidate && pDX->m_hWndLastControl != nullptr && pDX->m_bEditLastControl) {
    ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
  }
}
