// The process-wide aspect ratios from which every new job starts.
#pragma once

#include "AspectRatios.h"

// Starts with the built-in defaults; loaded from the profile on the first call that succeeds (a
// failing load is silent and tried again at the next call).
AspectRatios& GetDefaultAspectRatios();
// Copies every field of the source into the defaults and stores them in the profile. The defaults
// then count as loaded, also when storing failed, so the profile is never read over them.
bool SetDefaultAspectRatios(const AspectRatios& source);
