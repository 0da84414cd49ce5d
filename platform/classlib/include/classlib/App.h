// The application object, threads and their loops.
#pragma once

#include "classlib/WinThread.h"
#include "classlib/WinApp.h"
#include "classlib/CommandLineInfo.h"
#include "classlib/RecentFileList.h"
#include "classlib/WaitCursor.h"
