// CNotSupportedException: an operation the object does not support.
#pragma once

#include "classlib/CException.h"

class CNotSupportedException : public CException {
 public:
  using CException::CException;
  BOOL GetErrorMessage(LPTSTR error, UINT maxChars, PUINT helpContext = nullptr) const override;
};
