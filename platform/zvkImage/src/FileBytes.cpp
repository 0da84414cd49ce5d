#include "FileBytes.h"

#include <algorithm>

namespace zvkImage {

HRESULT FileBytes::Read(const std::wstring& path, std::vector<uint8_t>& bytes, uint64_t maxBytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
  LARGE_INTEGER size{};
  HRESULT hr = S_OK;
  if (!GetFileSizeEx(file, &size))
    hr = HRESULT_FROM_WIN32(GetLastError());
  else if (uint64_t(size.QuadPart) > maxBytes)
    hr = HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);
  if (SUCCEEDED(hr)) {
    try {
      bytes.resize(size_t(size.QuadPart));
    } catch (...) {
      hr = E_OUTOFMEMORY;
    }
  }
  size_t done = 0;
  while (SUCCEEDED(hr) && done < bytes.size()) {
    DWORD got = 0;
    const DWORD chunk = DWORD(std::min<size_t>(bytes.size() - done, 1u << 30));
    if (!ReadFile(file, bytes.data() + done, chunk, &got, nullptr))
      hr = HRESULT_FROM_WIN32(GetLastError());
    else if (got == 0)
      bytes.resize(done);
    done += got;
  }
  CloseHandle(file);
  return hr;
}

HRESULT FileBytes::Write(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
  HRESULT hr = S_OK;
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD put = 0;
    const DWORD chunk = DWORD(std::min<size_t>(bytes.size() - done, 1u << 30));
    if (!WriteFile(file, bytes.data() + done, chunk, &put, nullptr) || put == 0) {
      hr = HRESULT_FROM_WIN32(GetLastError());
      if (SUCCEEDED(hr)) hr = STG_E_MEDIUMFULL;
      break;
    }
    done += put;
  }
  CloseHandle(file);
  if (FAILED(hr)) DeleteFileW(path.c_str());
  return hr;
}

int64_t FileBytes::Size(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return int64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

}  // namespace zvkImage
