// An owned BSTR. Text from the ANSI side is converted with the active code page.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace comserver {

class CComBSTR {
 public:
  CComBSTR() = default;
  CComBSTR(const wchar_t* text);
  CComBSTR(const char* text);
  CComBSTR(const CComBSTR& other);
  CComBSTR(CComBSTR&& other) noexcept;
  ~CComBSTR() { Empty(); }
  CComBSTR& operator=(const CComBSTR& other);
  CComBSTR& operator=(CComBSTR&& other) noexcept;

  void Empty();
  void Attach(BSTR text);
  BSTR Detach();
  HRESULT CopyTo(BSTR* out) const;
  unsigned Length() const { return SysStringLen(m_str); }
  std::string ToAnsi() const;

  operator BSTR() const { return m_str; }
  // For out parameters; the string must be empty.
  BSTR* operator&() { return &m_str; }

  BSTR m_str = nullptr;
};

}  // namespace comserver
