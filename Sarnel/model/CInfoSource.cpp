#include "CInfoSource.h"

#include "FieldReference.h"

CString CInfoSource::Expand(const char* text) {
  std::string result;
  const char* cursor = text ? text : "";
  while (*cursor) {
    char c = *cursor++;
    if (c != '@') {
      result += c;
      continue;
    }
    if (!*cursor) break;  // a closing "@" is dropped
    if (*cursor == '@') {
      result += '@';
      ++cursor;
      continue;
    }
    FieldReference first = ParseFieldReference(cursor);
    FieldReference second;
    if (*cursor == ':') {
      ++cursor;
      second = ParseFieldReference(cursor);
    }
    if (first.name.IsEmpty() && second.name.IsEmpty()) continue;
    COleVariant value;
    bool answered = second.name.IsEmpty() ? GetField(nullptr, first.name, first.quoted, &value)
                                          : GetField(first.name, second.name, second.quoted, &value);
    if (answered && value.vt == VT_BSTR && value.bstrVal)
      result += CString(static_cast<const wchar_t*>(value.bstrVal)).str();
  }
  return CString(result);
}
