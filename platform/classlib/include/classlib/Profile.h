// CProfile: the application's settings in the registry, under
// HKEY_CURRENT_USER\Software\<registry key>\<application>\<section>.
// A section name with backslashes names nested keys; an entry name is always one value, even
// with a backslash in it. The application object's profile members forward here.
#pragma once

#include "classlib/String.h"

class CProfile {
 public:
  CProfile() = default;

  // Where the settings live: HKCU\<root>\<registryKey>\<appName>. The root is "Software"
  // unless OverrideRoot named another one (tests give each run a key of its own).
  void SetRegistryKey(LPCTSTR registryKey, LPCTSTR appName);
  BOOL HasRegistryKey() const { return AfxBool(!m_registryKey.IsEmpty()); }
  CString GetAppKeyPath() const;
  static void OverrideRoot(LPCTSTR root);  // nullptr or "" restores "Software"
  static CString GetRoot();

  UINT GetProfileInt(LPCTSTR section, LPCTSTR entry, int defaultValue) const;
  CString GetProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR defaultValue = nullptr) const;
  // Allocates the value with new[] (the caller deletes it). A missing value gives FALSE,
  // *data nullptr and *bytes 0.
  BOOL GetProfileBinary(LPCTSTR section, LPCTSTR entry, LPBYTE* data, UINT* bytes) const;

  BOOL WriteProfileInt(LPCTSTR section, LPCTSTR entry, int value);
  // A null value deletes the entry; a null entry deletes the whole section with its subkeys.
  BOOL WriteProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR value);
  BOOL WriteProfileBinary(LPCTSTR section, LPCTSTR entry, LPBYTE data, UINT bytes);

  // Open keys the caller closes (created when missing); nullptr when no registry key is set.
  HKEY GetAppRegistryKey() const;
  HKEY GetSectionKey(LPCTSTR section) const;

 private:
  HKEY OpenSectionForReading(LPCTSTR section) const;

  CString m_registryKey;
  CString m_appName;
};
