// The application's default detail layout, which every new job copies.
#pragma once

#include "DetailsSchema.h"

// Loaded from the profile on the first call that succeeds; a failed load is tried again next time.
DetailsSchema& GetDefaultDetailSettings();
// Replaces the defaults and stores them in the profile.
void SetDefaultDetailSettings(const DetailsSchema& settings);
