// The order of every text-keyed map: the leading number first, then the bytes.
#pragma once

#include "classlib/ClassLib.h"

// The leading integers as atoi reads them (blanks and a sign allowed), compared as signed values;
// equal numbers fall back to the unsigned byte order of the texts.
bool NumericStringLess(const char* a, const char* b);

struct NumericStringLessOrder {
  bool operator()(const CString& a, const CString& b) const { return NumericStringLess(a, b); }
};
