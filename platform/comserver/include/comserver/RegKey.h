// An owned registry key with the few value operations the servers need (ANSI names and texts).
#pragma once

#include <windows.h>
#include <string>

namespace comserver {

class CRegKey {
 public:
  CRegKey() = default;
  CRegKey(const CRegKey&) = delete;
  CRegKey& operator=(const CRegKey&) = delete;
  ~CRegKey() { Close(); }

  // Each returns a Win32 error code, as the registry API does.
  LONG Create(HKEY parent, const char* name, REGSAM access = KEY_READ | KEY_WRITE);
  LONG Open(HKEY parent, const char* name, REGSAM access = KEY_READ | KEY_WRITE);
  LONG Close();
  void Attach(HKEY key);
  HKEY Detach();

  LONG SetStringValue(const char* name, const std::string& value);
  LONG SetDWORDValue(const char* name, DWORD value);
  LONG QueryStringValue(const char* name, std::string& value) const;
  LONG DeleteValue(const char* name);
  LONG DeleteSubKey(const char* name);
  LONG RecurseDeleteKey(const char* name);
  bool HasSubKeys() const;

  operator HKEY() const { return m_hKey; }

  HKEY m_hKey = nullptr;
};

}  // namespace comserver
