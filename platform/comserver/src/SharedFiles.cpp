// The common files folder, folder creation, the build comparison and system error texts.
#include "comserver/SharedFiles.h"

#include <cstdio>
#include <vector>

#include "comserver/RegValueKey.h"

namespace comserver {

namespace {

const char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

LONG ReadFixedInfo(const std::string& path, VS_FIXEDFILEINFO& info) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return static_cast<LONG>(GetLastError() ? GetLastError() : ERROR_RESOURCE_TYPE_NOT_FOUND);
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return static_cast<LONG>(GetLastError());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
      length < sizeof(VS_FIXEDFILEINFO))
    return ERROR_RESOURCE_TYPE_NOT_FOUND;
  info = *fixed;
  return ERROR_SUCCESS;
}

LONG WriteTime(const std::string& path, ULONGLONG& time) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
    return static_cast<LONG>(GetLastError());
  time = (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
  return ERROR_SUCCESS;
}

}  // namespace

LONG GetCommonFilesDir(std::string& folder) {
  folder.clear();
  RegValueKey key;
  LONG error = key.Open(HKEY_LOCAL_MACHINE, kCurrentVersion, KEY_READ);
  if (error != ERROR_SUCCESS) return error;
  std::string value;
  error = key.ReadString("CommonFilesDir", value);
  if (error == ERROR_FILE_NOT_FOUND) {
    std::string programFiles;
    error = key.ReadString("ProgramFilesDir", programFiles);
    if (error != ERROR_SUCCESS) return error;
    if (programFiles.size() < 2) return ERROR_FILE_NOT_FOUND;
    if (IsSeparator(programFiles.back())) programFiles.pop_back();
    value = programFiles + "\\Common Files";
    // Remembered for the next installer; a key that cannot be written changes nothing here.
    RegValueKey writable;
    if (writable.Open(HKEY_LOCAL_MACHINE, kCurrentVersion, KEY_SET_VALUE) == ERROR_SUCCESS)
      writable.WriteString("CommonFilesDir", value.c_str(), static_cast<DWORD>(value.size()));
  } else if (error != ERROR_SUCCESS) {
    return error;
  }
  if (!value.empty() && IsSeparator(value.back())) value.pop_back();
  if (value.size() < 2) return ERROR_FILE_NOT_FOUND;
  folder = value;
  return ERROR_SUCCESS;
}

LONG CreateDirectoryPath(const std::string& folder) {
  size_t start = 0;
  if (folder.size() >= 2 && folder[1] == ':')
    start = folder.size() > 2 && IsSeparator(folder[2]) ? 3 : 2;
  else if (folder.size() >= 2 && IsSeparator(folder[0]) && IsSeparator(folder[1])) {
    // \\server\share is not a folder to make: begin after it.
    size_t server = folder.find_first_of("\\/", 2);
    size_t share = server == std::string::npos ? std::string::npos : folder.find_first_of("\\/", server + 1);
    if (share == std::string::npos) return ERROR_SUCCESS;
    start = share + 1;
  }
  for (size_t i = start; i <= folder.size(); ++i) {
    if (i < folder.size() && !IsSeparator(folder[i])) continue;
    if (i == start) continue;
    std::string level = folder.substr(0, i);
    if (!CreateDirectoryA(level.c_str(), nullptr)) {
      DWORD error = GetLastError();
      if (error != ERROR_ALREADY_EXISTS) return static_cast<LONG>(error);
    }
  }
  return ERROR_SUCCESS;
}

LONG IsNewerBuild(const std::string& ours, const std::string& installed, bool* newer) {
  *newer = false;
  VS_FIXEDFILEINFO own = {};
  VS_FIXEDFILEINFO other = {};
  LONG error = ReadFixedInfo(ours, own);
  if (error == ERROR_SUCCESS) error = ReadFixedInfo(installed, other);
  if (error != ERROR_SUCCESS) return error;
  ULONGLONG ownVersion = (static_cast<ULONGLONG>(own.dwFileVersionMS) << 32) | own.dwFileVersionLS;
  ULONGLONG otherVersion = (static_cast<ULONGLONG>(other.dwFileVersionMS) << 32) | other.dwFileVersionLS;
  if (ownVersion != otherVersion) {
    *newer = ownVersion > otherVersion;
    return ERROR_SUCCESS;
  }
  ULONGLONG ownDate = (static_cast<ULONGLONG>(own.dwFileDateMS) << 32) | own.dwFileDateLS;
  ULONGLONG otherDate = (static_cast<ULONGLONG>(other.dwFileDateMS) << 32) | other.dwFileDateLS;
  if (ownDate == 0 && otherDate == 0) {
    // Our resource compiler leaves the block's date empty: the files' own dates tell the builds apart.
    error = WriteTime(ours, ownDate);
    if (error == ERROR_SUCCESS) error = WriteTime(installed, otherDate);
    if (error != ERROR_SUCCESS) return error;
  }
  *newer = ownDate > otherDate ||
           (own.dwFileFlags & own.dwFileFlagsMask) != (other.dwFileFlags & other.dwFileFlagsMask);
  return ERROR_SUCCESS;
}

std::string SystemErrorText(DWORD error) {
  char* text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result;
  if (length && text) result.assign(text, length);
  if (text) LocalFree(text);
  while (!result.empty() &&
         (result.back() == ' ' || result.back() == '\r' || result.back() == '\n' || result.back() == '\t'))
    result.pop_back();
  if (result.empty()) {
    char fallback[40];
    snprintf(fallback, sizeof(fallback), "WIN32 error %lu.", static_cast<unsigned long>(error));
    result = fallback;
  }
  return result;
}

}  // namespace comserver
