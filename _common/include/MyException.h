// The program's one error exception: an HRESULT and a ready message.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

// The program's own codes. They have no system text, so a thrown one shows its name.
constexpr HRESULT E_CANNOT_CREATE_FILE = static_cast<HRESULT>(0x80080200L);
constexpr HRESULT E_CANNOT_OPEN_FILE = static_cast<HRESULT>(0x80080201L);
constexpr HRESULT E_CANNOT_SAVE_AS = static_cast<HRESULT>(0x80080202L);
constexpr HRESULT E_CANNOT_READ_FILE = static_cast<HRESULT>(0x80080203L);
constexpr HRESULT E_CANNOT_CREATE_BITMAP = static_cast<HRESULT>(0x80080205L);
constexpr HRESULT E_CANNOT_FIND_IMAGE_FILE = static_cast<HRESULT>(0x80080210L);
constexpr HRESULT E_CANNOT_OPEN_IMAGE_FILE = static_cast<HRESULT>(0x80080211L);

class CMyException : public std::exception {
 public:
  // Message: the system's text for the code (or, without one, the expression text), a blank, the
  // source file's name and the line in parentheses.
  CMyException(HRESULT code, const char* expressionText, const char* sourcePath, int line);
  // Message: the text as given.
  CMyException(HRESULT code, const char* text);

  const char* what() const noexcept override { return message.c_str(); }

  HRESULT code;

 private:
  std::string message;
};

// Throws a CMyException naming the code's expression and the place of the throw.
#define THROW_MY_EXCEPTION(code) throw CMyException((code), #code, __FILE__, __LINE__)
// Throws when an HRESULT failed.
#define THROW_IF_FAILED(hr)                                                                               \
  do {                                                                                                    \
    HRESULT throwIfFailedResult_ = (hr);                                                                  \
    if (FAILED(throwIfFailedResult_)) throw CMyException(throwIfFailedResult_, "hr", __FILE__, __LINE__); \
  } while (0)
// Throws the last Win32 error of a failed platform call.
#define THROW_LAST_ERROR()                                                                               \
  throw CMyException(HRESULT_FROM_WIN32(GetLastError()), "HRESULT_FROM_WIN32(GetLastError())", __FILE__, \
                     __LINE__)
