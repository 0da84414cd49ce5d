#include "classlib/String.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char kWhitespace[] = " \t\r\n\v\f";

std::string FromWide(const wchar_t* text) {
  if (text == nullptr || *text == 0) return std::string();
  int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return std::string();
  std::string result(static_cast<size_t>(bytes - 1), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), bytes, nullptr, nullptr);
  return result;
}

std::string LoadFromResources(UINT id, bool* found) {
  // The string table holds at most 4097 characters per entry; grow until the text fits.
  std::vector<char> buffer(256);
  for (;;) {
    int got = LoadStringA(AfxGetResourceHandle(), id, buffer.data(), static_cast<int>(buffer.size()));
    if (got <= 0) {
      *found = false;
      return std::string();
    }
    if (got < static_cast<int>(buffer.size()) - 1 || buffer.size() >= 16384) {
      *found = true;
      return std::string(buffer.data(), static_cast<size_t>(got));
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string FormatWithSystem(const char* format, va_list* args) {
  if (format == nullptr) return std::string();
  char* buffer = nullptr;
  DWORD got = FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER, format, 0, 0,
                             reinterpret_cast<LPSTR>(&buffer), 0, args);
  std::string result;
  if (got > 0 && buffer != nullptr) result.assign(buffer, got);
  if (buffer != nullptr) LocalFree(buffer);
  return result;
}

}  // namespace

CString::CString(const char* text) {
  if (text == nullptr) return;
  if (IS_INTRESOURCE(text)) {
    LoadString(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(text)));
    return;
  }
  m_text = text;
}

CString::CString(const char* text, int length) {
  if (text != nullptr && length > 0) m_text.assign(text, static_cast<size_t>(length));
}

CString::CString(char ch, int repeat) {
  if (repeat > 0) m_text.assign(static_cast<size_t>(repeat), ch);
}

CString::CString(const wchar_t* text) : m_text(FromWide(text)) {}

CString& CString::operator=(const char* text) {
  if (text == nullptr) {
    m_text.clear();
  } else if (IS_INTRESOURCE(text)) {
    LoadString(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(text)));
  } else {
    m_text = text;  // std::string copes with text that points into itself
  }
  return *this;
}

CString& CString::operator=(char ch) {
  m_text.assign(1, ch);
  return *this;
}

CString& CString::operator=(const wchar_t* text) {
  m_text = FromWide(text);
  return *this;
}

CString& CString::operator+=(const char* text) {
  if (text != nullptr) m_text += text;
  return *this;
}

char CString::GetAt(int index) const {
  ASSERT(index >= 0 && index <= GetLength());
  if (index < 0 || index >= GetLength()) return '\0';
  return m_text[static_cast<size_t>(index)];
}

void CString::SetAt(int index, char ch) {
  ASSERT(index >= 0 && index < GetLength());
  if (index >= 0 && index < GetLength()) m_text[static_cast<size_t>(index)] = ch;
}

LPTSTR CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
  return m_text.data();
}

LPTSTR CString::GetBufferSetLength(int length) {
  m_text.resize(static_cast<size_t>(std::max(length, 0)));
  return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) newLength = static_cast<int>(strnlen(m_text.c_str(), m_text.size()));
  m_text.resize(std::min(static_cast<size_t>(newLength), m_text.size()));
}

BOOL CString::LoadString(UINT id) {
  bool found = false;
  std::string text = LoadFromResources(id, &found);
  if (!found) return FALSE;
  m_text = std::move(text);
  return TRUE;
}

void CString::Format(LPCTSTR format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::Format(UINT formatId, ...) {
  CString format;
  format.LoadString(formatId);
  va_list args;
  va_start(args, formatId);
  FormatV(format, args);
  va_end(args);
}

void CString::FormatV(LPCTSTR format, va_list args) {
  if (format == nullptr) {
    m_text.clear();
    return;
  }
  va_list measure;
  va_copy(measure, args);
  int needed = vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (needed < 0) {
    m_text.clear();
    return;
  }
  std::string result(static_cast<size_t>(needed), '\0');
  vsnprintf(result.data(), result.size() + 1, format, args);
  m_text = std::move(result);
}

void CString::FormatMessage(LPCTSTR format, ...) {
  va_list args;
  va_start(args, format);
  m_text = FormatWithSystem(format, &args);
  va_end(args);
}

void CString::FormatMessage(UINT formatId, ...) {
  CString format;
  format.LoadString(formatId);
  va_list args;
  va_start(args, formatId);
  m_text = FormatWithSystem(format, &args);
  va_end(args);
}

BSTR CString::AllocSysString() const {
  int chars = MultiByteToWideChar(CP_ACP, 0, m_text.data(), GetLength(), nullptr, 0);
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(chars));
  if (result == nullptr) throw std::bad_alloc();
  if (chars > 0) MultiByteToWideChar(CP_ACP, 0, m_text.data(), GetLength(), result, chars);
  return result;
}

void CString::MakeUpper() {
  if (!m_text.empty()) CharUpperBuffA(m_text.data(), static_cast<DWORD>(m_text.size()));
}

void CString::MakeLower() {
  if (!m_text.empty()) CharLowerBuffA(m_text.data(), static_cast<DWORD>(m_text.size()));
}

int CString::Replace(char oldChar, char newChar) {
  int count = 0;
  for (char& c : m_text) {
    if (c == oldChar) {
      c = newChar;
      ++count;
    }
  }
  return count;
}

int CString::Replace(LPCTSTR oldText, LPCTSTR newText) {
  if (oldText == nullptr || *oldText == 0) return 0;
  const std::string from(oldText);
  const std::string to(newText != nullptr ? newText : "");
  std::string result;
  int count = 0;
  size_t pos = 0;
  for (;;) {
    size_t hit = m_text.find(from, pos);
    if (hit == std::string::npos) break;
    result.append(m_text, pos, hit - pos);
    result += to;
    pos = hit + from.size();
    ++count;
  }
  if (count == 0) return 0;
  result.append(m_text, pos, std::string::npos);
  m_text = std::move(result);
  return count;
}

void CString::TrimLeft() { TrimLeft(kWhitespace); }
void CString::TrimRight() { TrimRight(kWhitespace); }

void CString::TrimLeft(char target) {
  size_t keep = m_text.find_first_not_of(target);
  m_text.erase(0, keep == std::string::npos ? m_text.size() : keep);
}

void CString::TrimRight(char target) {
  size_t last = m_text.find_last_not_of(target);
  m_text.erase(last == std::string::npos ? 0 : last + 1);
}

void CString::TrimLeft(LPCTSTR targets) {
  if (targets == nullptr) return;
  size_t keep = m_text.find_first_not_of(targets);
  m_text.erase(0, keep == std::string::npos ? m_text.size() : keep);
}

void CString::TrimRight(LPCTSTR targets) {
  if (targets == nullptr) return;
  size_t last = m_text.find_last_not_of(targets);
  m_text.erase(last == std::string::npos ? 0 : last + 1);
}

int CString::Find(char ch, int start) const {
  if (start < 0) start = 0;
  if (start >= GetLength()) return -1;
  size_t hit = m_text.find(ch, static_cast<size_t>(start));
  return hit == std::string::npos ? -1 : static_cast<int>(hit);
}

int CString::Find(LPCTSTR text, int start) const {
  if (text == nullptr) return -1;
  if (start < 0) start = 0;
  if (start > GetLength()) return -1;
  size_t hit = m_text.find(text, static_cast<size_t>(start));
  return hit == std::string::npos ? -1 : static_cast<int>(hit);
}

int CString::ReverseFind(char ch) const {
  size_t hit = m_text.rfind(ch);
  return hit == std::string::npos ? -1 : static_cast<int>(hit);
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  first = std::clamp(first, 0, GetLength());
  count = std::clamp(count, 0, GetLength() - first);
  return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return Mid(GetLength() - count, count);
}

int CString::Compare(LPCTSTR text) const { return strcmp(m_text.c_str(), text != nullptr ? text : ""); }

int CString::CompareNoCase(LPCTSTR text) const {
  return _stricmp(m_text.c_str(), text != nullptr ? text : "");
}

CString operator+(const CString& a, const CString& b) { return CString(a.str() + b.str()); }
CString operator+(const CString& a, const char* b) {
  CString result(a);
  result += b;
  return result;
}
CString operator+(const char* a, const CString& b) {
  CString result(a);
  result += b;
  return result;
}
CString operator+(const CString& a, char b) {
  CString result(a);
  result += b;
  return result;
}
CString operator+(char a, const CString& b) {
  CString result(a);
  result += b;
  return result;
}

void AfxFormatString1(CString& result, UINT id, LPCTSTR insert) {
  AfxFormatString2(result, id, insert, nullptr);
}

void AfxFormatString2(CString& result, UINT id, LPCTSTR insert1, LPCTSTR insert2) {
  CString format;
  format.LoadString(id);
  // One pass, so that an insert containing "%2" is not itself replaced.
  const std::string& text = format.str();
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() &&
        (text[i + 1] == '1' || (text[i + 1] == '2' && insert2 != nullptr))) {
      const char* insert = text[i + 1] == '1' ? insert1 : insert2;
      if (insert != nullptr) out += insert;
      ++i;
    } else {
      out += text[i];
    }
  }
  result = CString(out);
}
