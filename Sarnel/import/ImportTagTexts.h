// Identifier texts that photographers' tools write into image files: the EXIF user comment
// ("/%Iidentifier, /%Dfield%value; ...") and the TIFF image description ("Auxiliary=identifier
// (note),/%Dfield%value;Other=..."). Read from a file at import, written into the new image's
// detail values after the run.
#pragma once

#include "classlib/ClassLib.h"

#include <vector>

struct ImportTagTexts {
  CString identifier;
  std::vector<CString> items;
};

// The comment's first item becomes the identifier, the later ones are appended to the items.
void ParseUserComment(const CString& comment, ImportTagTexts& texts);
// The value of a key "Auxiliary" (any case) up to its first "," becomes the identifier, without a
// trailing part in parentheses; the rest of the value, split at commas, is appended to the items.
void ParseImageDescription(const CString& description, ImportTagTexts& texts);

class CTheDocument;
// The identifier (less a leading "/%I") into the job's unique field, and every item "/%D<field>%<value>"
// into its field.
void WriteImportTexts(CTheDocument& document, const char* imageId, const ImportTagTexts& texts);
