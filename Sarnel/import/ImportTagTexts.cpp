#include "ImportTagTexts.h"

#include "DetailNameParts.h"
#include "TextFields.h"
#include "TheDocument.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

int SkipBlanks(const CString& text, int at) {
  while (at < text.GetLength() && IsBlank(text[at])) ++at;
  return at;
}

int SkipAny(const CString& text, int at, const char* set) {
  while (at < text.GetLength() && std::strchr(set, text[at]) != nullptr) ++at;
  return at;
}

// The text from at up to the first character of the set (or the end); at moves to that character.
CString TakeUntil(const CString& text, int& at, const char* set) {
  const int start = at;
  while (at < text.GetLength() && std::strchr(set, text[at]) == nullptr) ++at;
  return text.Mid(start, at - start);
}

}  // namespace

void ParseUserComment(const CString& comment, ImportTagTexts& texts) {
  const CString text = TrimSpaces(comment);
  bool first = true;
  int at = 0;
  while (at < text.GetLength()) {
    at = SkipBlanks(text, at);
    if (at >= text.GetLength()) break;
    const CString item = TakeUntil(text, at, ",;&");
    at = SkipAny(text, at, ",;&");
    if (first)
      texts.identifier = item;
    else
      texts.items.push_back(item);
    first = false;
  }
}

void ParseImageDescription(const CString& description, ImportTagTexts& texts) {
  int at = 0;
  const CString& text = description;
  while (at < text.GetLength()) {
    at = SkipBlanks(text, at);
    if (at >= text.GetLength()) break;
    const CString key = TakeUntil(text, at, "=");
    at = SkipAny(text, at, "=");
    const CString value = TakeUntil(text, at, ";");
    at = SkipAny(text, at, ";");
    if (key.CompareNoCase("Auxiliary") != 0) continue;
    int part = 0;
    CString identifier = TakeUntil(value, part, ",");
    const int open = identifier.ReverseFind('(');
    if (!identifier.IsEmpty() && identifier[identifier.GetLength() - 1] == ')' && open >= 0)
      identifier = identifier.Left(open);
    texts.identifier = identifier;
    while (part < value.GetLength()) {
      part = SkipAny(value, part, ",");
      if (part >= value.GetLength()) break;
      texts.items.push_back(TakeUntil(value, part, ","));
    }
  }
}

void WriteImportTexts(CTheDocument& document, const char* imageId, const ImportTagTexts& texts) {
  CString identifier = texts.identifier;
  if (identifier.Left(3).CompareNoCase("/%I") == 0) identifier = identifier.Mid(3);
  const CString uniqueField = FindUniqueFieldId(document.GetImageFields());
  if (!uniqueField.IsEmpty()) {
    COleVariant value(identifier);
    document.SetImageValue(imageId, uniqueField, value);
  }
  for (const CString& item : texts.items) {
    if (item.GetLength() > 2 && item.Left(2) == "/%" && (item[2] == 'D' || item[2] == 'd'))
      document.SetImageValueFromText(imageId, item.Mid(3));
  }
}
