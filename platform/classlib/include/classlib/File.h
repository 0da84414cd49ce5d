// Files: a Win32 file, a file in memory, and a memory file in a global block for the clipboard.
#pragma once

#include "classlib/CFile.h"
#include "classlib/MemFile.h"
#include "classlib/SharedFile.h"
