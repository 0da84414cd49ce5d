// The reporters: every failure of a user command ends in one message box shown by one of these.
#pragma once

#include "MyException.h"

#include <comdef.h>

#include <exception>

// The flags of every error box: MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST.
constexpr UINT ErrorBoxFlags = 0x52010;
// "An unexpected error occurred"
constexpr UINT IDS_UNEXPECTED_ERROR = 1282;

// None of them throws; each shows one box without an owner and returns when it is closed.
void ReportMyException(const CMyException& e);
void ReportStdException(const std::exception& e);
void ReportComError(const _com_error& e);
void ReportUnknownException();
