#include "DetailsTemplate.h"

#include "DetailValueFormat.h"
#include "FieldReference.h"

#include <cstring>

namespace {

CString ListAllValues(const DetailsFields& fields, const DetailsValues& values) {
  std::string result;
  int count = fields.GetCount();
  for (int i = 0; i < count; ++i) {
    const DetailField& field = fields.GetAt(i);
    result += FormatDetailValue(ConvertDetailValue(values.Get(field.id), field.type)).str();
    if (i + 1 < count) result += ", ";
  }
  return CString(result);
}

}  // namespace

CString ExpandDetailsTemplate(const char* text, const DetailsFields& fields, const DetailsValues& values) {
  const char* cursor = text ? text : "";
  if (std::strcmp(cursor, AllDetailsTemplate) == 0) return ListAllValues(fields, values);
  std::string result;
  while (*cursor) {
    char c = *cursor++;
    if (c != '@') {
      result += c;
      continue;
    }
    if (!*cursor) break;
    if (*cursor == '@') {
      result += '@';
      ++cursor;
      continue;
    }
    FieldReference reference = ParseFieldReference(cursor);
    if (reference.name.IsEmpty()) continue;
    COleVariant value = LookupDetailText(reference, fields, values);
    if (value.vt != VT_EMPTY && value.vt != VT_ERROR) result += FormatDetailValue(value).str();
  }
  return CString(result);
}
