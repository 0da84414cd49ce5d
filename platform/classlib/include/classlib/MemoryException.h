// CMemoryException: out of memory, thrown explicitly (operator new throws std::bad_alloc).
#pragma once

#include "classlib/CException.h"

class CMemoryException : public CException {
 public:
  using CException::CException;
  BOOL GetErrorMessage(LPTSTR error, UINT maxChars, PUINT helpContext = nullptr) const override;
};
