// A subject's first, middle and last name found in a field set with its values, and its unique field.
#pragma once

#include "DetailsFields.h"
#include "DetailsValues.h"

// Splits at blanks; particles (Mc, Mac, Le, La, Van, Der) stay with the last name. False, with the
// outputs untouched, for fewer than two words. Middle parts are appended to middle.
bool SplitWholeName(const CString& whole, CString& first, CString& middle, CString& last);

// From the field of the part's role, else from a whole-name field, else from a field with a
// conventional name, else empty. Never throw.
CString GetFirstName(const DetailsFields& fields, const DetailsValues& values);
CString GetMiddleName(const DetailsFields& fields, const DetailsValues& values);
CString GetLastName(const DetailsFields& fields, const DetailsValues& values);

// The id of the unique field (its role, else a field named "id", else "unique"); empty when none.
CString FindUniqueFieldId(const DetailsFields& fields);
