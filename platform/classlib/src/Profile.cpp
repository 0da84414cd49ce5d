#include "classlib/Profile.h"

#include <mutex>
#include <vector>

namespace {

std::mutex g_rootLock;
CString g_root = "Software";

// Stored values larger than this are not settings; refusing them keeps a damaged registry from
// making the program allocate without bound.
constexpr DWORD kLargestValue = 64u * 1024u * 1024u;

}  // namespace

void CProfile::OverrideRoot(LPCTSTR root) {
  std::lock_guard<std::mutex> guard(g_rootLock);
  g_root = (root != nullptr && *root != 0) ? root : "Software";
}

CString CProfile::GetRoot() {
  std::lock_guard<std::mutex> guard(g_rootLock);
  return g_root;
}

void CProfile::SetRegistryKey(LPCTSTR registryKey, LPCTSTR appName) {
  m_registryKey = registryKey;
  m_appName = appName;
}

CString CProfile::GetAppKeyPath() const { return GetRoot() + "\\" + m_registryKey + "\\" + m_appName; }

HKEY CProfile::GetAppRegistryKey() const {
  if (m_registryKey.IsEmpty()) return nullptr;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, GetAppKeyPath(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return key;
}

HKEY CProfile::GetSectionKey(LPCTSTR section) const {
  if (section == nullptr) return nullptr;
  HKEY app = GetAppRegistryKey();
  if (app == nullptr) return nullptr;
  HKEY key = nullptr;
  LONG rc = RegCreateKeyExA(app, section, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                            &key, nullptr);
  RegCloseKey(app);
  return rc == ERROR_SUCCESS ? key : nullptr;
}

HKEY CProfile::OpenSectionForReading(LPCTSTR section) const {
  if (section == nullptr || m_registryKey.IsEmpty()) return nullptr;
  CString path = GetAppKeyPath() + "\\" + section;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
  return key;
}

UINT CProfile::GetProfileInt(LPCTSTR section, LPCTSTR entry, int defaultValue) const {
  HKEY key = OpenSectionForReading(section);
  if (key == nullptr) return static_cast<UINT>(defaultValue);
  DWORD value = 0;
  DWORD type = 0;
  DWORD bytes = sizeof(value);
  LONG rc = RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_DWORD || bytes != sizeof(value))
    return static_cast<UINT>(defaultValue);
  return value;
}

CString CProfile::GetProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR defaultValue) const {
  HKEY key = OpenSectionForReading(section);
  if (key == nullptr) return CString(defaultValue);
  CString result(defaultValue);
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExA(key, entry, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) break;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || bytes > kLargestValue) break;
    std::vector<char> buffer(bytes + 1, '\0');
    DWORD got = bytes;
    LONG rc = RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (rc == ERROR_MORE_DATA) continue;  // the value grew between the two calls
    if (rc == ERROR_SUCCESS) result = CString(buffer.data(), static_cast<int>(strnlen(buffer.data(), got)));
    break;
  }
  RegCloseKey(key);
  return result;
}

BOOL CProfile::GetProfileBinary(LPCTSTR section, LPCTSTR entry, LPBYTE* data, UINT* bytesOut) const {
  if (data == nullptr || bytesOut == nullptr) return FALSE;
  *data = nullptr;
  *bytesOut = 0;
  HKEY key = OpenSectionForReading(section);
  if (key == nullptr) return FALSE;
  BOOL ok = FALSE;
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExA(key, entry, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) break;
    if (type != REG_BINARY || bytes > kLargestValue) break;
    BYTE* buffer = new BYTE[bytes == 0 ? 1 : bytes];
    DWORD got = bytes;
    LONG rc = RegQueryValueExA(key, entry, nullptr, &type, buffer, &got);
    if (rc == ERROR_SUCCESS && type == REG_BINARY) {
      *data = buffer;
      *bytesOut = got;
      ok = TRUE;
      break;
    }
    delete[] buffer;
    if (rc != ERROR_MORE_DATA) break;
  }
  RegCloseKey(key);
  return ok;
}

BOOL CProfile::WriteProfileInt(LPCTSTR section, LPCTSTR entry, int value) {
  if (entry == nullptr) return FALSE;
  HKEY key = GetSectionKey(section);
  if (key == nullptr) return FALSE;
  DWORD stored = static_cast<DWORD>(value);
  LONG rc = RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof(stored));
  RegCloseKey(key);
  return AfxBool(rc == ERROR_SUCCESS);
}

BOOL CProfile::WriteProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR value) {
  if (section == nullptr || m_registryKey.IsEmpty()) return FALSE;
  if (entry == nullptr) {
    HKEY app = GetAppRegistryKey();
    if (app == nullptr) return FALSE;
    DWORD rc = SHDeleteKeyA(app, section);
    RegCloseKey(app);
    return AfxBool(rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND);
  }
  if (value == nullptr) {
    HKEY key = OpenSectionForReading(section);
    if (key == nullptr) return TRUE;  // nothing there to delete
    RegCloseKey(key);
    CString path = GetAppKeyPath() + "\\" + section;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return FALSE;
    LONG rc = RegDeleteValueA(key, entry);
    RegCloseKey(key);
    return AfxBool(rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND);
  }
  HKEY key = GetSectionKey(section);
  if (key == nullptr) return FALSE;
  LONG rc = RegSetValueExA(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                           static_cast<DWORD>(strlen(value) + 1));
  RegCloseKey(key);
  return AfxBool(rc == ERROR_SUCCESS);
}

BOOL CProfile::WriteProfileBinary(LPCTSTR section, LPCTSTR entry, LPBYTE data, UINT bytes) {
  if (entry == nullptr || (data == nullptr && bytes != 0)) return FALSE;
  HKEY key = GetSectionKey(section);
  if (key == nullptr) return FALSE;
  LONG rc = RegSetValueExA(key, entry, 0, REG_BINARY, data, bytes);
  RegCloseKey(key);
  return AfxBool(rc == ERROR_SUCCESS);
}
