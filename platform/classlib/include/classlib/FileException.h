// CFileException: a file operation failed; m_lOsError holds the system error code.
#pragma once

#include "classlib/CException.h"

class CFileException : public CException {
 public:
  enum {
    none = 0,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };

  explicit CFileException(int cause = none, LONG osError = -1, LPCTSTR fileName = nullptr,
                          BOOL autoDelete = TRUE)
      : CException(autoDelete), m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

  // The cause that matches a system error code.
  static int OsErrorToException(LONG osError);
  BOOL GetErrorMessage(LPTSTR error, UINT maxChars, PUINT helpContext = nullptr) const override;

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};
