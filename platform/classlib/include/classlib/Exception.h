// The layer's exceptions, thrown by pointer (`throw new ...`) and released with Delete().
#pragma once

#include "classlib/CException.h"
#include "classlib/MemoryException.h"
#include "classlib/ResourceException.h"
#include "classlib/NotSupportedException.h"
#include "classlib/UserException.h"
#include "classlib/FileException.h"

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowResourceException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1, LPCTSTR fileName = nullptr);
