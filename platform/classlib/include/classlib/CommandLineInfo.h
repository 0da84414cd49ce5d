// CCommandLineInfo: what the command line asks for; ParseParam sees each argument in turn.
#pragma once

#include "classlib/String.h"

class CCommandLineInfo {
 public:
  CCommandLineInfo() = default;
  virtual ~CCommandLineInfo() = default;

  // pszParam without its leading '/' or '-' when bFlag; bLast for the final argument.
  virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

  enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppRegister, AppUnregister, FileNothing = -1 };
  int m_nShellCommand = FileNew;
  BOOL m_bShowSplash = TRUE;
  BOOL m_bRunEmbedded = FALSE;
  BOOL m_bRunAutomated = FALSE;
  CString m_strFileName;
};
