#include "comserver/RegKey.h"

#include <utility>
#include <vector>

namespace comserver {

LONG CRegKey::Create(HKEY parent, const char* name, REGSAM access) {
  HKEY key = nullptr;
  LONG error =
      RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
  if (error == ERROR_SUCCESS) Attach(key);
  return error;
}

LONG CRegKey::Open(HKEY parent, const char* name, REGSAM access) {
  HKEY key = nullptr;
  LONG error = RegOpenKeyExA(parent, name, 0, access, &key);
  if (error == ERROR_SUCCESS) Attach(key);
  return error;
}

LONG CRegKey::Close() {
  LONG error = ERROR_SUCCESS;
  if (m_hKey) error = RegCloseKey(std::exchange(m_hKey, nullptr));
  return error;
}

void CRegKey::Attach(HKEY key) {
  Close();
  m_hKey = key;
}

HKEY CRegKey::Detach() { return std::exchange(m_hKey, nullptr); }

LONG CRegKey::SetStringValue(const char* name, const std::string& value) {
  return RegSetValueExA(m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1));
}

LONG CRegKey::SetDWORDValue(const char* name, DWORD value) {
  return RegSetValueExA(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

LONG CRegKey::QueryStringValue(const char* name, std::string& value) const {
  for (;;) {
    DWORD type = 0, size = 0;
    LONG error = RegQueryValueExA(m_hKey, name, nullptr, &type, nullptr, &size);
    if (error != ERROR_SUCCESS) return error;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATATYPE;
    std::vector<char> buffer(size + 1, '\0');
    DWORD got = size;
    error = RegQueryValueExA(m_hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (error == ERROR_MORE_DATA) continue;  // grew between the two calls
    if (error != ERROR_SUCCESS) return error;
    value.assign(buffer.data());
    return ERROR_SUCCESS;
  }
}

LONG CRegKey::DeleteValue(const char* name) { return RegDeleteValueA(m_hKey, name); }

LONG CRegKey::DeleteSubKey(const char* name) { return RegDeleteKeyA(m_hKey, name); }

// Deletes the key with everything below it.
LONG CRegKey::RecurseDeleteKey(const char* name) { return RegDeleteTreeA(m_hKey, name); }

bool CRegKey::HasSubKeys() const {
  DWORD subKeys = 0;
  if (RegQueryInfoKeyA(m_hKey, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return true;
  return subKeys != 0;
}

}  // namespace comserver
