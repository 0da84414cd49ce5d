// CException: the base of the layer's exceptions. Thrown with `new`, caught by pointer and
// released with Delete(); an exception made on the stack passes autoDelete = FALSE.
#pragma once

#include "classlib/String.h"

class CException {
 public:
  explicit CException(BOOL autoDelete = TRUE) : m_bAutoDelete(autoDelete) {}
  virtual ~CException() = default;
  CException(const CException&) = delete;
  CException& operator=(const CException&) = delete;

  // Deletes the object if it was made with `new`.
  void Delete();
  // Copies the message (truncated to maxChars - 1) and returns TRUE when there is one.
  virtual BOOL GetErrorMessage(LPTSTR error, UINT maxChars, PUINT helpContext = nullptr) const;
  // Shows the message through the prompt function; with no message, string `messageId`.
  // Returns the button pressed.
  virtual int ReportError(UINT type = MB_OK, UINT messageId = 0) const;

  BOOL m_bAutoDelete;

 protected:
  // Helper for GetErrorMessage overrides with a fixed text.
  static BOOL CopyMessage(LPCTSTR text, LPTSTR error, UINT maxChars, PUINT helpContext);
};
