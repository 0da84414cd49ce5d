#include "DetailValueFormat.h"

#include "DetailField.h"
#include "LocaleFormat.h"

#include <cstdio>

namespace {

CString TextOfBstr(BSTR text) { return text ? CString(static_cast<const wchar_t*>(text)) : CString(); }

// A copy changed by the platform's variant conversion; VT_EMPTY when it fails.
COleVariant Converted(const VARIANT& value, VARTYPE type) {
  try {
    COleVariant copy(value);
    copy.ChangeType(type);
    return copy;
  } catch (...) {
    return COleVariant();
  }
}

}  // namespace

CString FormatDetailValue(const VARIANT& value) {
  try {
    switch (value.vt) {
      case VT_EMPTY:
        return CString();
      case VT_I4: {
        CString text;
        text.Format("%ld", static_cast<long>(value.lVal));
        return text;
      }
      case VT_R8: {
        // Always "." whatever the locale: these texts are read back by other programs.
        char text[512];
        std::snprintf(text, sizeof(text), "%.2f", value.dblVal);
        return CString(text);
      }
      case VT_DATE:
        return FormatDate(COleDateTime(value.date));
      default: {
        COleVariant copy(value);
        copy.ChangeType(VT_BSTR);
        return TextOfBstr(copy.bstrVal);
      }
    }
  } catch (...) {
    return CString();
  }
}

COleVariant ConvertDetailValue(const VARIANT& value, int fieldType) {
  switch (fieldType) {
    case DetailTypeText:
      if (value.vt == VT_DATE) return COleVariant(FormatDate(COleDateTime(value.date)));
      return Converted(value, VT_BSTR);
    case DetailTypeInteger:
      return Converted(value, VT_I4);
    case DetailTypeReal:
      return Converted(value, VT_R8);
    case DetailTypeDate: {
      if (value.vt == VT_EMPTY) return COleVariant();
      if (value.vt == VT_BSTR) {
        COleDateTime date = ParseDate(TextOfBstr(value.bstrVal));
        if (date.GetStatus() != COleDateTime::valid) return COleVariant();
        COleVariant result;
        result.vt = VT_DATE;
        result.date = date.m_dt;
        return result;
      }
      return Converted(value, VT_DATE);
    }
    case DetailTypeCurrency:
      return Converted(value, VT_CY);
    case DetailTypeYesNo:
      return Converted(value, VT_BOOL);
    default:
      return COleVariant();
  }
}
