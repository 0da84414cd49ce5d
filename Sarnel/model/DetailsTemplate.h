// Texts built from one field set and its values, such as an image's caption.
#pragma once

#include "DetailsFields.h"
#include "DetailsValues.h"

// The template that lists every value, in field order, separated by ", ".
constexpr const char* AllDetailsTemplate = "@<>[, ]";

// Fills every "@" reference from the fields and values (no qualifiers; a ":" after a reference is
// text). The template AllDetailsTemplate lists every field's value instead.
CString ExpandDetailsTemplate(const char* text, const DetailsFields& fields, const DetailsValues& values);
