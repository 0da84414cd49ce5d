// A source of named values for text templates: the document, or one image.
#pragma once

#include "classlib/ClassLib.h"

class CInfoSource {
 public:
  virtual ~CInfoSource() = default;

  // Answers one reference: qualifier is null when the reference has none. True when the source
  // answered, with a text (VT_BSTR) in out; out stays untouched when the source has nothing.
  virtual bool GetField(const char* qualifier, const char* name, bool quoted, VARIANT* out) = 0;

  // Fills every reference behind an "@" ("@@" is one "@"; "@qualifier:name" asks with a qualifier).
  // An exception of GetField goes to the caller.
  CString Expand(const char* text);
};
