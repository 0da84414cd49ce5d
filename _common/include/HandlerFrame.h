// The standard handler frame around a user command that can fail.
#pragma once

#include "ErrorReport.h"

#include "classlib/ClassLib.h"

#include <comdef.h>

#include <exception>

// Runs the body; any failure is reported (ReportCurrentException) and the command ends. Returns true
// when the body ran to its end.
template <class Body>
bool RunInHandlerFrame(Body&& body) {
  try {
    body();
    return true;
  } catch (...) {
    ReportCurrentException();
  }
  return false;
}
