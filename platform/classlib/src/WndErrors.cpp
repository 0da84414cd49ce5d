// Exceptions that reach a window procedure end here: they are reported through the one prompt
// path and never unwind into the system.
#include "classlib/Wnd.h"

#include "classlib/Exception.h"
#include "classlib/Prompt.h"

#include <atomic>

namespace {

void DefaultReporter(std::exception_ptr exception) {
  CString text;
  try {
    std::rethrow_exception(exception);
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
    text = "An unexpected error occurred.";
  }
  if (text.IsEmpty()) text = "An unexpected error occurred.";
  AfxPrompt(nullptr, text, AfxGetAppName(), 0x52010);
}

std::atomic<AFX_EXCEPTION_REPORTER> g_reporter{&DefaultReporter};

}  // namespace

AFX_EXCEPTION_REPORTER AfxSetExceptionReporter(AFX_EXCEPTION_REPORTER reporter) {
  return g_reporter.exchange(reporter != nullptr ? reporter : &DefaultReporter);
}

void AfxReportCaughtException() {
  try {
    try {
      throw;
    } catch (CException* e) {
      e->ReportError();
      e->Delete();
    } catch (...) {
      g_reporter.load()(std::current_exception());
    }
  } catch (...) {
    // A reporter that fails has nobody left to tell; the window procedure must still return.
  }
}
