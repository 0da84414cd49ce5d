// Texts of the document's messages.
#pragma once

#include "classlib/ClassLib.h"

#include <windows.h>

// A string of the program's string table (empty when there is none).
CString ResourceText(UINT id);
// The message of a failed file operation: the text of messageId, " ", "Error", ": " and the
// system's message for the code, without its final line break ("Unknown error 0x<code>" when the
// system has none).
CString FileErrorText(UINT messageId, HRESULT hr);
