// CWaitCursor: shows the hourglass for its lifetime.
#pragma once

#include "classlib/Base.h"

class CWaitCursor {
 public:
  CWaitCursor();
  ~CWaitCursor();
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  void Restore();
};
