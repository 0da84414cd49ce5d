// The folder of the installed colour profiles.
#pragma once

#include "classlib/ClassLib.h"

// True with the folder; false with an empty text when the platform's colour-management library or its
// function is missing (last error 2018) or the call fails.
bool GetColorDirectory(CString& folder);
