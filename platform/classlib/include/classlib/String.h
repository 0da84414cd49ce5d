// CString: an 8-bit clean, code-page text string (every byte value survives, 0xB6 included).
#pragma once

#include "classlib/Base.h"

#include <functional>
#include <string>

class CString {
 public:
  CString() = default;
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  // A MAKEINTRESOURCE value loads that string from the string table.
  CString(const char* text);  // NOLINT(google-explicit-constructor): strings convert freely
  CString(const unsigned char* text) : CString(reinterpret_cast<const char*>(text)) {}
  CString(const char* text, int length);
  CString(char ch, int repeat = 1);
  CString(const wchar_t* text);  // converted with the ANSI code page
  CString(const std::string& text) : m_text(text) {}

  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(const char* text);
  CString& operator=(const unsigned char* text) { return *this = reinterpret_cast<const char*>(text); }
  CString& operator=(char ch);
  CString& operator=(const wchar_t* text);

  // Length and contents.
  int GetLength() const { return static_cast<int>(m_text.size()); }
  BOOL IsEmpty() const { return AfxBool(m_text.empty()); }
  void Empty() { m_text.clear(); }
  operator LPCTSTR() const { return m_text.c_str(); }
  LPCTSTR GetString() const { return m_text.c_str(); }
  const std::string& str() const { return m_text; }
  char GetAt(int index) const;
  char operator[](int index) const { return GetAt(index); }
  void SetAt(int index, char ch);

  // Direct access: GetBuffer(n) gives room for n characters and a terminator; ReleaseBuffer(-1)
  // takes the length up to the first zero byte.
  LPTSTR GetBuffer(int minLength = 0);
  LPTSTR GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);

  // Resources and formatting.
  BOOL LoadString(UINT id);
  void Format(LPCTSTR format, ...);
  void Format(UINT formatId, ...);
  void FormatV(LPCTSTR format, va_list args);
  // Inserts of the form %1, %1!s!, %2!d! (the system's message formatting).
  void FormatMessage(LPCTSTR format, ...);
  void FormatMessage(UINT formatId, ...);
  BSTR AllocSysString() const;

  // Changing.
  void MakeUpper();
  void MakeLower();
  int Replace(char oldChar, char newChar);
  int Replace(LPCTSTR oldText, LPCTSTR newText);
  void TrimLeft();
  void TrimLeft(char target);
  void TrimLeft(LPCTSTR targets);
  void TrimRight();
  void TrimRight(char target);
  void TrimRight(LPCTSTR targets);
  void Trim() {
    TrimRight();
    TrimLeft();
  }

  // Searching and extracting (-1 when not found; out-of-range arguments are clamped).
  int Find(char ch, int start = 0) const;
  int Find(LPCTSTR text, int start = 0) const;
  int ReverseFind(char ch) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;

  // Comparison: byte order, and case-blind over the code page.
  int Compare(LPCTSTR text) const;
  int CompareNoCase(LPCTSTR text) const;

  CString& operator+=(const CString& text) {
    m_text += text.m_text;
    return *this;
  }
  CString& operator+=(const char* text);
  CString& operator+=(char ch) {
    m_text += ch;
    return *this;
  }

 private:
  std::string m_text;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);

inline bool operator==(const CString& a, const CString& b) { return a.str() == b.str(); }
inline bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
inline bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, const char* b) { return !(a == b); }
inline bool operator!=(const char* a, const CString& b) { return !(a == b); }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
inline bool operator<(const CString& a, const char* b) { return a.Compare(b) < 0; }
inline bool operator<(const char* a, const CString& b) { return b.Compare(a) > 0; }
inline bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
inline bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
inline bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }

template <>
struct std::hash<CString> {
  size_t operator()(const CString& s) const noexcept { return std::hash<std::string>()(s.str()); }
};

// Loads string `id` from the resource module and puts `insert` in place of %1.
void AfxFormatString1(CString& result, UINT id, LPCTSTR insert);
void AfxFormatString2(CString& result, UINT id, LPCTSTR insert1, LPCTSTR insert2);

#include "classlib/StringArray.h"
