// Dialog data exchange: moving values between a dialog's controls and its members (DDX_*) and
// checking them (DDV_*). A value that does not parse or is out of range is reported through the
// prompt function; Fail() then puts the focus back into the field and stops the exchange, so the
// dialog stays open.
#pragma once

#include "classlib/String.h"

class CWnd;

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
      : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

  BOOL m_bSaveAndValidate;  // TRUE: controls -> members, and validate
  CWnd* m_pDlgWnd;

  // The control's window, remembered as the one a failure goes back to.
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Focuses the last prepared control (selecting an edit's text) and ends the exchange with a
  // CUserException.
  [[noreturn]] void Fail();

  HWND m_hWndLastControl = nullptr;
  BOOL m_bEditLastControl = FALSE;
  int m_idLastControl = 0;
};

class CWnd;

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The first radio button of a group (WS_GROUP) and the index of the checked one (-1: none).
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal);
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);

// The layer's own text for string id (from the program's resources when they carry it).
CString AfxLayerString(UINT nID);
