#include "DetailNameParts.h"

#include "DetailValueFormat.h"

#include <initializer_list>
#include <vector>

namespace {

bool IsParticle(const CString& word) {
  for (const char* particle : {"Mc", "Mac", "Le", "La", "Van", "Der"})
    if (word.CompareNoCase(particle) == 0) return true;
  return false;
}

enum class NamePart { First, Middle, Last };

struct NamePartRule {
  int role;
  std::initializer_list<const char*> names;
};

CString FieldText(const DetailField& field, const DetailsValues& values) {
  return FormatDetailValue(values.Get(field.id));
}

CString PartOf(const CString& whole, NamePart part, bool& found) {
  CString first, middle, last;
  found = SplitWholeName(whole, first, middle, last);
  if (!found) return CString();
  return part == NamePart::First ? first : part == NamePart::Middle ? middle : last;
}

CString FindNamePart(const DetailsFields& fields, const DetailsValues& values, NamePart part) {
  try {
    static const NamePartRule rules[] = {
        {DetailRoleFirstName, {"firstname", "first name"}},
        {DetailRoleMiddleName, {"middlename", "middle name"}},
        {DetailRoleLastName, {"lastname", "last name", "surname"}},
    };
    const NamePartRule& rule = rules[static_cast<int>(part)];
    if (fields.HasSpecial(rule.role)) return FieldText(fields.GetBySpecial(rule.role), values);
    bool split = false;
    if (fields.HasSpecial(DetailRoleWholeName)) {
      CString text = PartOf(FieldText(fields.GetBySpecial(DetailRoleWholeName), values), part, split);
      if (split) return text;
    }
    for (const char* name : rule.names)
      if (fields.HasName(name)) return FieldText(fields.GetByName(name), values);
    if (fields.HasName("name")) {
      CString text = PartOf(FieldText(fields.GetByName("name"), values), part, split);
      if (split) return text;
    }
  } catch (...) {
  }
  return CString();
}

}  // namespace

bool SplitWholeName(const CString& whole, CString& first, CString& middle, CString& last) {
  std::vector<CString> tokens;
  const std::string& text = whole.str();
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > start) tokens.emplace_back(text.substr(start, i - start));
  }
  if (tokens.size() < 2) return false;
  if (tokens.size() == 2) {
    first = tokens[0];
    last = tokens[1];
    return true;
  }
  while (tokens.size() >= 3 && IsParticle(tokens[tokens.size() - 2])) {
    CString joined = tokens[tokens.size() - 2] + " " + tokens.back();
    tokens.pop_back();
    tokens.back() = joined;
  }
  first = tokens[0];
  for (size_t t = 1; t + 1 < tokens.size(); ++t) {
    if (t > 1) middle += " ";
    middle += tokens[t];
  }
  last = tokens.back();
  return true;
}

CString GetFirstName(const DetailsFields& fields, const DetailsValues& values) {
  return FindNamePart(fields, values, NamePart::First);
}

CString GetMiddleName(const DetailsFields& fields, const DetailsValues& values) {
  return FindNamePart(fields, values, NamePart::Middle);
}

CString GetLastName(const DetailsFields& fields, const DetailsValues& values) {
  return FindNamePart(fields, values, NamePart::Last);
}

CString FindUniqueFieldId(const DetailsFields& fields) {
  try {
    if (fields.HasSpecial(DetailRoleUnique)) return fields.GetBySpecial(DetailRoleUnique).id;
    if (fields.HasName("id")) return fields.GetByName("id").id;
    if (fields.HasName("unique")) return fields.GetByName("unique").id;
  } catch (...) {
  }
  return CString();
}
