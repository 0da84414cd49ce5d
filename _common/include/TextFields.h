// Lines and fields of imported text files.
#pragma once

#include "classlib/ClassLib.h"

// One byte of a file opened with _lopen; -1 at the end. CR and CR LF both read as one LF.
int ReadFileChar(HFILE file);
// The characters up to the next LF or the end; with maxChars other than -1 the rest of a longer line
// is read and dropped. False only when the end was reached with nothing read.
bool ReadTextLine(HFILE file, CString& text, int maxChars = -1);

// Without leading and trailing blanks (the space character only).
CString TrimSpaces(const CString& text);
// The trimmed characters start to end - 1, both clamped to the line.
CString GetFixedWidthField(const CString& line, int start, int end);
// Takes the first field off the line; a field may be quoted, with doubled quotes inside.
CString NextDelimitedField(CString& line, char delimiter);
