// The class library's foundation: the Win32 and OLE headers every other part needs, the ANSI
// character types, and the diagnostic macros.
#pragma once

#if defined(UNICODE) || defined(_UNICODE)
#error "The class library is an ANSI build: TCHAR is char."
#endif

#ifndef STRICT
#define STRICT
#endif

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <olectl.h>
#include <commctrl.h>
#include <shlwapi.h>
#include <tchar.h>

#include <cstdarg>
#include <cstddef>
#include <cstring>

// Module state switching belongs to DLL builds of the original layer; with one static library
// there is only one state.
#define AFX_MANAGE_STATE(p)

#define AFXAPI
#define AFX_CDECL __cdecl

// Diagnostics. ASSERT and TRACE vanish in release builds; VERIFY always evaluates its argument.
void AfxAssertFailedLine(const char* file, int line, const char* expression);
void AfxTrace(const char* format, ...);

#ifdef NDEBUG
#define ASSERT(f) ((void)0)
#define VERIFY(f) ((void)(f))
#define TRACE(...) ((void)0)
#define DEBUG_ONLY(f) ((void)0)
#else
#define ASSERT(f) ((f) ? (void)0 : AfxAssertFailedLine(__FILE__, __LINE__, #f))
#define VERIFY(f) ASSERT(f)
#define TRACE(...) AfxTrace(__VA_ARGS__)
#define DEBUG_ONLY(f) (f)
#endif
#define ASSERT_VALID(p) ((void)0)
#define TRACE0(s) TRACE(s)
#define TRACE1(s, a) TRACE(s, a)
#define TRACE2(s, a, b) TRACE(s, a, b)
#define TRACE3(s, a, b, c) TRACE(s, a, b, c)

// BOOL from a C++ condition, and back.
inline BOOL AfxBool(bool value) { return value ? TRUE : FALSE; }
inline bool AfxIsTrue(BOOL value) { return value != FALSE; }

inline BOOL AfxIsValidString(const char* text, int length = -1) {
  return AfxBool(text != nullptr && (length == -1 || length >= 0));
}
inline BOOL AfxIsValidAddress(const void* p, size_t bytes, BOOL /*readWrite*/ = TRUE) {
  return AfxBool(p != nullptr || bytes == 0);
}

// The application's name (captions of every message box) and the module whose resources the
// layer loads. The application object supplies both.
const char* AfxGetAppName();
HINSTANCE AfxGetResourceHandle();
