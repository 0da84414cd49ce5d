// CResourceException: a Windows resource (handle, template, string) could not be made or found.
#pragma once

#include "classlib/CException.h"

class CResourceException : public CException {
 public:
  using CException::CException;
  BOOL GetErrorMessage(LPTSTR error, UINT maxChars, PUINT helpContext = nullptr) const override;
};
