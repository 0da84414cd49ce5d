// The compiler's COM support classes (_com_error, _bstr_t, _variant_t, _com_ptr_t) come with
// MinGW's headers; their out-of-line helpers come from the layer:
//   _com_issue_error(hr)                   throws _com_error(hr) (inline in <comdef.h>)
//   _com_issue_errorex(hr, object, iid)    throws _com_error(hr, the object's error info)
//   _com_util::ConvertStringToBSTR(text)   code-page text to a new BSTR
//   _com_util::ConvertBSTRToString(bstr)   BSTR to code-page text allocated with new[]
#pragma once

#include "classlib/Base.h"

#include <comdef.h>
