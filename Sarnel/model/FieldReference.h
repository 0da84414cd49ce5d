// Field references in text templates ("@Name", "@<last name>", "@\"order\"") and their lookup in a
// field set with its values.
#pragma once

#include "Details.h"

struct FieldReference {
  CString name;
  bool quoted = false;  // written between double quotes or angle brackets: never a role word
};

struct ResolvedField {
  CString fieldId;   // empty when no field answers
  int32_t role = 0;  // the role a role word names, else 0
};

// Reads one reference at the cursor (just behind its "@") and moves the cursor behind it.
FieldReference ParseFieldReference(const char*& cursor);

// A role word ("firstname", "surname", "order" ...) finds the field of its role; otherwise, or when
// no field has the role, a field of that name (regardless of case).
ResolvedField ResolveFieldReference(const FieldReference& reference, const DetailsFields& fields);

// The referenced value as text (VT_BSTR); VT_EMPTY for an empty value or a graphic field; a name part
// derived from the other fields for first, middle and last names; VT_ERROR (E_INVALIDARG) when
// nothing answers.
COleVariant LookupDetailText(const FieldReference& reference, const DetailsFields& fields,
                             const DetailsValues& values);

// LookupDetailText over a details block: false when nothing answers; out receives a non-empty result.
bool GetDetailFieldValue(const Details& details, const FieldReference& reference, VARIANT* out);
