// CUserException: the operation was stopped and the user has already been told why, so
// reporting it shows nothing.
#pragma once

#include "classlib/CException.h"

class CUserException : public CException {
 public:
  using CException::CException;
  int ReportError(UINT type = MB_OK, UINT messageId = 0) const override;
};
