// The standard handler frame around a user command that can fail.
#pragma once

#include "ErrorReport.h"

#include "classlib/ClassLib.h"

#include <comdef.h>

#include <exception>

// Runs the body; any failure is reported and the command ends. The order of the catches matters:
// CMyException and the archive exceptions derive from std::exception. Returns true when the body ran
// to its end.
template <class Body>
bool RunInHandlerFrame(Body&& body) {
  try {
    body();
    return true;
  } catch (CException* e) {
    e->ReportError(MB_OK, 0);
    e->Delete();
  } catch (const CMyException& e) {
    ReportMyException(e);
  } catch (const std::exception& e) {
    ReportStdException(e);
  } catch (const _com_error& e) {
    ReportComError(e);
  } catch (...) {
    ReportUnknownException();
  }
  return false;
}
