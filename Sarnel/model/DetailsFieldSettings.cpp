#include "DetailsFieldSettings.h"

#include "DetailsFields.h"

void DetailsFieldSettings::Set(const char* fieldName, const FieldPosition& position) {
  CString key = MakeUpperKey(fieldName);
  if (position.IsZero())
    positions.erase(key);
  else
    positions[key] = position;
}

const FieldPosition& DetailsFieldSettings::Get(const char* fieldName) const {
  static const FieldPosition none;
  auto found = positions.find(MakeUpperKey(fieldName));
  return found == positions.end() ? none : found->second;
}
