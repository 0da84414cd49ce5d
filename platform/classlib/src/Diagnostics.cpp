#include "classlib/Base.h"

#include <cstdio>
#include <cstdlib>

void AfxAssertFailedLine(const char* file, int line, const char* expression) {
  char text[1024];
  snprintf(text, sizeof(text), "%s(%d): assertion failed: %s\n", file, line, expression);
  OutputDebugStringA(text);
  fputs(text, stderr);
  fflush(stderr);
  abort();
}

void AfxTrace(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  OutputDebugStringA(text);
}
