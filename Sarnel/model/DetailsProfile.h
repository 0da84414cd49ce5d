// Field sets and tag sets kept as binary values of the application profile.
#pragma once

#include "DetailsFields.h"
#include "DetailsTags.h"

// True when the value exists, is not empty and reads completely; the target then holds what was
// read. Otherwise false, and the target keeps what it held: a damaged value is never half-loaded.
bool LoadProfileFieldSet(const char* section, const char* valueName, DetailsFields& target);
bool LoadProfileTagSet(const char* section, const char* valueName, DetailsTags& target);

// Stores the set's block; false when it could not be written.
bool SaveProfileFieldSet(const char* section, const char* valueName, const DetailsFields& source);
bool SaveProfileTagSet(const char* section, const char* valueName, const DetailsTags& source);
