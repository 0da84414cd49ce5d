#include "FieldReference.h"

#include "DetailNameParts.h"
#include "DetailValueFormat.h"

#include <cstring>

namespace {

// Characters that end a bare name. "-", "_" and "*" belong to names.
bool EndsBareName(char c) {
  return c == ' ' || c == '\r' || c == '\n' || std::strchr("!~@#$%^&()[]{}\\|:;,.<>?/+", c) != nullptr;
}

struct RoleWord {
  const char* word;
  int32_t role;
};

const RoleWord RoleWords[] = {
    {"name", DetailRoleWholeName},        {"firstname", DetailRoleFirstName},
    {"first-name", DetailRoleFirstName},  {"surname", DetailRoleLastName},
    {"lastname", DetailRoleLastName},     {"last-name", DetailRoleLastName},
    {"middlename", DetailRoleMiddleName}, {"middle-name", DetailRoleMiddleName},
    {"birthdate", DetailRoleBirthdate},   {"birthday", DetailRoleBirthdate},
    {"unique", DetailRoleUnique},         {"order", DetailRoleOrder},
};

COleVariant Text(const CString& text) { return COleVariant(text); }

}  // namespace

FieldReference ParseFieldReference(const char*& cursor) {
  FieldReference reference;
  char closer = 0;
  if (*cursor == '"' || *cursor == '<') {
    closer = *cursor == '"' ? '"' : '>';
    reference.quoted = true;
    ++cursor;
  }
  const char* start = cursor;
  while (*cursor && (closer ? *cursor != closer : !EndsBareName(*cursor))) ++cursor;
  reference.name = CString(start, static_cast<int>(cursor - start));
  if (reference.quoted && *cursor) ++cursor;
  return reference;
}

ResolvedField ResolveFieldReference(const FieldReference& reference, const DetailsFields& fields) {
  ResolvedField result;
  if (!reference.quoted) {
    for (const RoleWord& entry : RoleWords) {
      if (reference.name.CompareNoCase(entry.word) != 0) continue;
      result.role = entry.role;
      if (fields.HasSpecial(entry.role)) {
        result.fieldId = fields.GetBySpecial(entry.role).id;
        return result;
      }
      break;
    }
  }
  if (fields.HasName(reference.name)) result.fieldId = fields.GetByName(reference.name).id;
  return result;
}

COleVariant LookupDetailText(const FieldReference& reference, const DetailsFields& fields,
                             const DetailsValues& values) {
  ResolvedField resolved = ResolveFieldReference(reference, fields);
  if (!resolved.fieldId.IsEmpty()) {
    const DetailField& field = fields.Get(resolved.fieldId);
    if (field.type == DetailTypeGraphic) return COleVariant();
    const VARIANT& value = values.Get(resolved.fieldId);
    if (value.vt == VT_EMPTY) return COleVariant();
    return Text(FormatDetailValue(ConvertDetailValue(value, field.type)));
  }
  switch (resolved.role) {
    case DetailRoleFirstName:
      return Text(GetFirstName(fields, values));
    case DetailRoleLastName:
      return Text(GetLastName(fields, values));
    case DetailRoleMiddleName:
      return Text(GetMiddleName(fields, values));
    default: {
      COleVariant error;
      error.vt = VT_ERROR;
      error.scode = E_INVALIDARG;
      return error;
    }
  }
}

bool GetDetailFieldValue(const Details& details, const FieldReference& reference, VARIANT* out) {
  COleVariant result = LookupDetailText(reference, details.fields, details.values);
  if (result.vt == VT_ERROR) return false;
  if (result.vt != VT_EMPTY && out) {
    VariantClear(out);
    *out = result.Detach();
  }
  return true;
}
