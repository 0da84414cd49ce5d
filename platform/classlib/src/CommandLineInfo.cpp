#include "classlib/CommandLineInfo.h"

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) {
  if (bFlag) {
    if (lstrcmpiA(pszParam, "pt") == 0) {
      m_nShellCommand = FilePrintTo;
    } else if (lstrcmpiA(pszParam, "p") == 0) {
      m_nShellCommand = FilePrint;
    } else if (lstrcmpiA(pszParam, "dde") == 0) {
      m_nShellCommand = FileDDE;
    } else if (lstrcmpiA(pszParam, "Register") == 0 || lstrcmpiA(pszParam, "Regserver") == 0) {
      m_nShellCommand = AppRegister;
    } else if (lstrcmpiA(pszParam, "Unregister") == 0 || lstrcmpiA(pszParam, "Unregserver") == 0) {
      m_nShellCommand = AppUnregister;
    } else if (lstrcmpiA(pszParam, "Embedding") == 0) {
      m_bRunEmbedded = TRUE;
      m_bShowSplash = FALSE;
    } else if (lstrcmpiA(pszParam, "Automation") == 0) {
      m_bRunAutomated = TRUE;
      m_bShowSplash = FALSE;
    }
  } else if (m_strFileName.IsEmpty()) {
    m_strFileName = pszParam;
  }
  if (bLast) {
    if (m_nShellCommand == FileNew && !m_strFileName.IsEmpty()) m_nShellCommand = FileOpen;
    m_bShowSplash = !m_bRunEmbedded && !m_bRunAutomated;
  }
}
