#include "TextFields.h"

#include <string>

int ReadFileChar(HFILE file) {
  unsigned char c;
  if (_lread(file, &c, 1) != 1) return -1;
  if (c != '\r') return c;
  unsigned char next;
  if (_lread(file, &next, 1) == 1 && next != '\n') _llseek(file, -1, FILE_CURRENT);  // not ours: put it back
  return '\n';
}

bool ReadTextLine(HFILE file, CString& text, int maxChars) {
  std::string line;
  bool readAny = false;
  for (;;) {
    int c = ReadFileChar(file);
    if (c < 0) break;
    readAny = true;
    if (c == '\n') break;
    if (maxChars == -1 || static_cast<int>(line.size()) < maxChars) line += static_cast<char>(c);
  }
  text = CString(line.data(), static_cast<int>(line.size()));
  return readAny;
}

CString TrimSpaces(const CString& text) {
  int begin = 0, end = text.GetLength();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return text.Mid(begin, end - begin);
}

CString GetFixedWidthField(const CString& line, int start, int end) {
  int length = line.GetLength();
  if (start < 0) start = 0;
  if (start > length) start = length;
  if (end < start) end = start;
  if (end > length) end = length;
  if (end == start) return CString();
  return TrimSpaces(line.Mid(start, end - start));
}

CString NextDelimitedField(CString& line, char delimiter) {
  if (line.IsEmpty()) return CString();
  CString field;
  if (line[0] == '"') {
    char closing[3] = {'"', delimiter, '\0'};
    int at = line.Find(closing, 1);
    if (at >= 0) {
      field = line.Mid(1, at - 1);
      line = line.Mid(at + 2);
    } else {
      int last = line.ReverseFind('"');
      field = last > 0 ? line.Mid(1, last - 1) : line.Mid(1);
      line.Empty();
    }
    field.Replace("\"\"", "\"");
    return field;
  }
  int at = line.Find(delimiter);
  if (at < 0) {
    field = line;
    line.Empty();
  } else {
    field = line.Left(at);
    line = line.Mid(at + 1);
  }
  return field;
}
