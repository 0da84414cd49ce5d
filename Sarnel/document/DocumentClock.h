// The local date and time that the job's template fields show; a test can set the clock.
#pragma once

#include "classlib/ClassLib.h"

COleDateTime GetDocumentClock();
// Null goes back to the system clock.
void SetDocumentClock(COleDateTime (*clock)());
