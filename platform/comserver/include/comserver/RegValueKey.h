// An open registry key with typed value readers and writers, for the installer and the calibration
// settings. Every operation answers a Win32 error code; nothing is written past a caller's buffer.
#pragma once

#include <windows.h>

#include <string>

namespace comserver {

class RegValueKey {
 public:
  RegValueKey() = default;
  RegValueKey(const RegValueKey&) = delete;
  RegValueKey& operator=(const RegValueKey&) = delete;
  ~RegValueKey() { Close(); }

  LONG Open(HKEY parent, const char* subKey, REGSAM access = KEY_READ);
  LONG Create(HKEY parent, const char* subKey, REGSAM access = KEY_READ | KEY_WRITE);
  void Close();
  HKEY Handle() const { return m_key; }

  // REG_SZ as stored, REG_EXPAND_SZ expanded (at most 2048 characters), DWORDs in decimal.
  // `size` is the buffer's size in characters with the terminator; when it is too small the answer
  // is ERROR_MORE_DATA and `size` the size needed.
  LONG ReadString(const char* name, char* buffer, DWORD* size) const;
  LONG ReadString(const char* name, std::string& value) const;
  // Plain decimal numbers only (digits, at most one "." followed by digits), or a DWORD.
  LONG ReadDouble(const char* name, double* value) const;
  // Fixed notation with at most seven significant digits and a "." ("2.2", "1.0").
  LONG WriteDouble(const char* name, double value) const;
  LONG WriteString(const char* name, const char* text, DWORD length) const;

 private:
  LONG ReadRaw(const char* name, DWORD* type, std::string& bytes, DWORD limit) const;

  HKEY m_key = nullptr;
};

// Seven significant digits in fixed notation with at least one digit after the "." ("2.2", "1.0"),
// as WriteDouble stores numbers and the editing control shows gammas; false for NaN or infinity.
bool FormatFixedDouble(double value, std::string& text);

}  // namespace comserver
