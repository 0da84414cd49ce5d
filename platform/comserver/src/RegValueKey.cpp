// Typed registry values. Sizes come from the registry and are bounded before anything is copied.
#include "comserver/RegValueKey.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace comserver {

namespace {

constexpr DWORD kMaxStringBytes = 32768;
constexpr DWORD kMaxExpanded = 2048;
constexpr DWORD kMaxDoubleBytes = 1024;
constexpr DWORD kMaxDoubleText = 128;

std::string Terminated(const std::string& bytes) {
  // A stored string may lack its terminator or carry several; the text ends at the first.
  size_t end = bytes.find('\0');
  return end == std::string::npos ? bytes : bytes.substr(0, end);
}

LONG Expand(const std::string& text, DWORD limit, std::string& expanded) {
  std::string buffer(limit + 1, '\0');
  DWORD needed = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), limit + 1);
  if (needed == 0) return static_cast<LONG>(GetLastError());
  if (needed > limit + 1) return ERROR_INSUFFICIENT_BUFFER;
  expanded.assign(buffer.c_str());
  return ERROR_SUCCESS;
}

DWORD DwordOf(DWORD type, const std::string& bytes) {
  DWORD value = 0;
  memcpy(&value, bytes.data(), sizeof(value));
  if (type == REG_DWORD_BIG_ENDIAN)
    value = (value >> 24) | ((value >> 8) & 0xFF00) | ((value << 8) & 0xFF0000) | (value << 24);
  return value;
}

bool IsPlainDecimal(const std::string& text) {
  size_t i = 0;
  size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (digits == 0) return false;
  if (i == text.size()) return true;
  if (text[i] != '.') return false;
  ++i;
  size_t fraction = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++fraction;
  return fraction > 0 && i == text.size();
}

}  // namespace

LONG RegValueKey::Open(HKEY parent, const char* subKey, REGSAM access) {
  Close();
  return RegOpenKeyExA(parent, subKey, 0, access, &m_key);
}

LONG RegValueKey::Create(HKEY parent, const char* subKey, REGSAM access) {
  Close();
  return RegCreateKeyExA(parent, subKey, 0, nullptr, 0, access, nullptr, &m_key, nullptr);
}

void RegValueKey::Close() {
  if (m_key) RegCloseKey(m_key);
  m_key = nullptr;
}

LONG RegValueKey::ReadRaw(const char* name, DWORD* type, std::string& bytes, DWORD limit) const {
  if (!m_key) return ERROR_INVALID_HANDLE;
  // The value may change between asking its size and reading it: ask again until both agree.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    LONG error = RegQueryValueExA(m_key, name, nullptr, type, nullptr, &size);
    if (error != ERROR_SUCCESS) return error;
    if (size > limit) return ERROR_INSUFFICIENT_BUFFER;
    bytes.assign(size, '\0');
    DWORD read = size;
    error = RegQueryValueExA(m_key, name, nullptr, type, reinterpret_cast<BYTE*>(bytes.data()), &read);
    if (error == ERROR_MORE_DATA) continue;
    if (error != ERROR_SUCCESS) return error;
    bytes.resize(read);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

LONG RegValueKey::ReadString(const char* name, std::string& value) const {
  DWORD type = 0;
  std::string bytes;
  LONG error = ReadRaw(name, &type, bytes, kMaxStringBytes);
  if (error != ERROR_SUCCESS) return error;
  switch (type) {
    case REG_SZ:
      value = Terminated(bytes);
      return ERROR_SUCCESS;
    case REG_EXPAND_SZ:
      return Expand(Terminated(bytes), kMaxExpanded, value);
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
      if (bytes.size() != sizeof(DWORD)) return ERROR_INVALID_DATATYPE;
      value = std::to_string(DwordOf(type, bytes));
      return ERROR_SUCCESS;
    default:
      return ERROR_INVALID_DATATYPE;
  }
}

LONG RegValueKey::ReadString(const char* name, char* buffer, DWORD* size) const {
  if (!size || (!buffer && *size)) return ERROR_INVALID_PARAMETER;
  std::string value;
  LONG error = ReadString(name, value);
  if (error != ERROR_SUCCESS) return error;
  DWORD needed = static_cast<DWORD>(value.size() + 1);
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  memcpy(buffer, value.c_str(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

LONG RegValueKey::ReadDouble(const char* name, double* value) const {
  if (!value) return ERROR_INVALID_PARAMETER;
  DWORD type = 0;
  std::string bytes;
  LONG error = ReadRaw(name, &type, bytes, kMaxDoubleBytes);
  if (error != ERROR_SUCCESS) return error;
  std::string text;
  switch (type) {
    case REG_SZ:
      if (bytes.size() >= kMaxDoubleText) return ERROR_INSUFFICIENT_BUFFER;
      text = Terminated(bytes);
      break;
    case REG_EXPAND_SZ:
      error = Expand(Terminated(bytes), kMaxDoubleText, text);
      if (error != ERROR_SUCCESS) return error;
      break;
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
      if (bytes.size() != sizeof(DWORD)) return ERROR_INVALID_DATATYPE;
      *value = static_cast<double>(DwordOf(type, bytes));
      return ERROR_SUCCESS;
    default:
      return ERROR_INVALID_DATATYPE;
  }
  if (!IsPlainDecimal(text)) return ERROR_INVALID_DATATYPE;
  // strtod reads the runtime's separator, so the stored "." becomes that one.
  const char* separator = localeconv()->decimal_point;
  size_t dot = text.find('.');
  if (dot != std::string::npos && separator && *separator) text.replace(dot, 1, separator);
  *value = strtod(text.c_str(), nullptr);
  return ERROR_SUCCESS;
}

bool FormatFixedDouble(double value, std::string& text) {
  if (!std::isfinite(value)) return false;
  // Seven significant digits, then laid out in fixed notation so that the reader takes it back.
  char scientific[32];
  snprintf(scientific, sizeof(scientific), "%.6e", value);
  const char* p = scientific;
  bool negative = *p == '-';
  if (negative) ++p;
  std::string digits;
  while (*p && *p != 'e') {
    if (*p >= '0' && *p <= '9') digits += *p;
    ++p;
  }
  int exponent = *p == 'e' ? atoi(p + 1) : 0;
  std::string whole;
  std::string fraction;
  if (exponent >= 0) {
    size_t integerDigits = static_cast<size_t>(exponent) + 1;
    if (integerDigits >= digits.size()) {
      whole = digits + std::string(integerDigits - digits.size(), '0');
    } else {
      whole = digits.substr(0, integerDigits);
      fraction = digits.substr(integerDigits);
    }
  } else {
    whole = "0";
    fraction = std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  }
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (fraction.empty()) fraction.push_back('0');
  bool zero = whole.find_first_not_of('0') == std::string::npos &&
              fraction.find_first_not_of('0') == std::string::npos;
  text = (negative && !zero ? "-" : "") + whole + "." + fraction;
  return true;
}

LONG RegValueKey::WriteDouble(const char* name, double value) const {
  std::string text;
  if (!FormatFixedDouble(value, text)) return ERROR_INVALID_PARAMETER;
  return WriteString(name, text.c_str(), static_cast<DWORD>(text.size()));
}

LONG RegValueKey::WriteString(const char* name, const char* text, DWORD length) const {
  if (!m_key) return ERROR_INVALID_HANDLE;
  if (!text && length) return ERROR_INVALID_PARAMETER;
  std::string stored(text ? text : "", length);
  return RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(stored.c_str()),
                        static_cast<DWORD>(stored.size() + 1));
}

}  // namespace comserver
