#include "MyException.h"

#include <cstring>

CMyException::CMyException(HRESULT code, const char* expressionText, const char* sourcePath, int line)
    : code(code) {
  char text[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), text,
                           sizeof(text), nullptr);
  if (n > 0 && n < sizeof(text)) {
    message.assign(text, n);
    if (!message.empty() && message.back() == '\n') message.pop_back();  // a CR before it stays
  } else {
    message = expressionText ? expressionText : "";
  }
  const char* name = sourcePath ? sourcePath : "";
  // Paths from a cross compiler use forward slashes; they separate names as well.
  for (const char* p = name; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  message += " ";
  message += name;
  message += "(";
  message += std::to_string(line);
  message += ")";
}

CMyException::CMyException(HRESULT code, const char* text) : code(code), message(text ? text : "") {}
