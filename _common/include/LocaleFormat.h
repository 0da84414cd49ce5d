// Dates, times and amounts in the user's locale.
#pragma once

#include "classlib/ClassLib.h"

// The user locale's short date and time formats, read once and kept for the run.
CString GetShortDateFormat();
CString GetTimeFormatString();
// The order of day (1), month (2) and year (3) in the short date format: 123, 213 or 321.
int GetDateOrder();
// Replaces the cached formats (a test runs a day-month-year locale this way); null restores the
// user locale's.
void OverrideLocaleFormats(const char* shortDateFormat, const char* timeFormat);

// Empty for a null or invalid date, or one that has no calendar date.
CString FormatDate(const COleDateTime& date);
CString FormatTime(const COleDateTime& date);
// Up to three groups of digits in the locale's order; two-digit years pivot at 20 (20 gives 1920,
// 19 gives 2019).
COleDateTime ParseDate(const char* text);

// Empty for a null or invalid value.
CString FormatCurrency(const COleCurrency& value);
// Empty text: 0 with status null; unreadable: status invalid.
COleCurrency ParseCurrency(const char* text);
