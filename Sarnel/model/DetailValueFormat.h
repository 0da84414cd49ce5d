// The text of a detail value, and its conversion to the type of a field.
#pragma once

#include "classlib/ClassLib.h"

// Reals with two decimals and ".", integers in decimal, dates in the user's short date format, any
// other value by the platform's conversion to text; the empty text when that fails. Never throws.
CString FormatDetailValue(const VARIANT& value);

// The value changed to the VARIANT type of a field type (text, integer, real, date, currency,
// yes/no); texts given to a date field are read in the user's date order. Graphic fields and values
// that do not convert give VT_EMPTY. Never throws for a failed conversion.
COleVariant ConvertDetailValue(const VARIANT& value, int fieldType);
