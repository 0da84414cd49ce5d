// The reporters: every failure of a user command ends in one message box shown by one of these.
#pragma once

#include "MyException.h"

#include <comdef.h>

#include <exception>
#include <string>

// The flags of every error box: MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST.
constexpr UINT ErrorBoxFlags = 0x52010;
// "An unexpected error occurred"
constexpr UINT IDS_UNEXPECTED_ERROR = 1282;

// None of them throws; each shows one box without an owner and returns when it is closed.
void ReportMyException(const CMyException& e);
void ReportStdException(const std::exception& e);
void ReportComError(const _com_error& e);
void ReportUnknownException();

// Reports the exception being handled (call it inside a catch block) through the reporter of its
// kind, in the order of the standard handler frame: a class-library exception with its own report
// (then deleted), CMyException, std::exception, _com_error, anything else. Never throws.
void ReportCurrentException();
// Ends the exception being handled without a box, for a failure whose kind was reported once
// already (call it inside a catch block); a class-library exception is deleted.
void DiscardCurrentException();
// The same as ReportCurrentException for an exception held in a pointer. The program installs it as the class
// library's reporter, so failures that reach a window procedure read as the program's own.
void ReportException(std::exception_ptr failure);

// The text of a COM error that carries no description, for a code the system has no text for:
// "IDispatch error #n" for the dispatch codes 0x80040201 to 0x8004FFFF, else "Unknown error 0x...".
std::string ComErrorFallbackText(HRESULT hr);
