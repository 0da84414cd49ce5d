#include "JobStorage.h"

#include "DocumentText.h"
#include "MyException.h"
#include "WriteBackFileBytes.h"

#include "resource.h"

std::wstring ToWideName(const char* name) {
  if (name == nullptr || *name == 0) return std::wstring();
  int count = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
  if (count <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(count), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name, -1, wide.data(), count);
  wide.resize(static_cast<size_t>(count - 1));
  return wide;
}

bool StorageHasStorage(IStorage* storage, const char* name) {
  if (storage == nullptr) return false;
  IStorage* child = nullptr;
  HRESULT hr = storage->OpenStorage(ToWideName(name).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE,
                                    nullptr, 0, &child);
  if (FAILED(hr) || child == nullptr) return false;
  child->Release();
  return true;
}

bool StorageHasStream(IStorage* storage, const char* name) {
  if (storage == nullptr) return false;
  IStream* child = nullptr;
  HRESULT hr =
      storage->OpenStream(ToWideName(name).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &child);
  if (FAILED(hr) || child == nullptr) return false;
  child->Release();
  return true;
}

HRESULT StorageDestroyElement(IStorage* storage, const char* name) {
  if (storage == nullptr) return S_FALSE;
  return storage->DestroyElement(ToWideName(name).c_str());
}

int ReadCompoundFileVersion(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  unsigned char header[0x20] = {};
  DWORD read = 0;
  BOOL ok = ReadFile(file, header, sizeof(header), &read, nullptr);
  CloseHandle(file);
  static const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (!ok || read < sizeof(header) || memcmp(header, signature, sizeof(signature)) != 0) return 0;
  int major = header[0x1A] | (header[0x1B] << 8);
  return (major == 3 || major == 4) ? major : 0;
}

namespace {

DWORD FileSharingOf(DWORD mode) {
  switch (mode & 0x70) {
    case STGM_SHARE_DENY_WRITE:
      return FILE_SHARE_READ;
    case STGM_SHARE_DENY_READ:
      return FILE_SHARE_WRITE;
    case STGM_SHARE_DENY_NONE:
      return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default:
      return 0;
  }
}

}  // namespace

HRESULT CreateCompoundFile(const char* path, DWORD mode, int version, IStorage** storage,
                           WriteBackFileBytes** bytes) {
  *storage = nullptr;
  if (bytes != nullptr) *bytes = nullptr;
  STGOPTIONS options = {};
  options.usVersion = 1;
  options.reserved = 0;
  options.ulSectorSize = version == JobFileVersion4 ? 4096 : 512;
  options.pwcsTemplateFile = nullptr;
  std::wstring wide = ToWideName(path);
  // The system makes the empty file, as only it writes a new file's sector size; the file is then
  // opened again on bytes of ours, through which everything else is written.
  IStorage* created = nullptr;
  HRESULT hr = StgCreateStorageEx(wide.c_str(), mode, STGFMT_DOCFILE, 0, &options, nullptr, IID_IStorage,
                                  reinterpret_cast<void**>(&created));
  if (FAILED(hr)) return hr;
  created->Release();
  WriteBackFileBytes* fileBytes = nullptr;
  hr = WriteBackFileBytes::Open(path, FileSharingOf(mode), &fileBytes);
  if (FAILED(hr)) return hr;
  hr = StgOpenStorageOnILockBytes(fileBytes, nullptr, mode & ~(STGM_CREATE | STGM_CONVERT), nullptr, 0,
                                  storage);
  if (FAILED(hr)) {
    *storage = nullptr;
    fileBytes->Release();
    return hr;
  }
  if (bytes != nullptr)
    *bytes = fileBytes;
  else
    fileBytes->Release();
  return S_OK;
}

CString FolderOfPath(const char* path) {
  CString text(path);
  int slash = text.ReverseFind('\\');
  int alt = text.ReverseFind('/');
  if (alt > slash) slash = alt;
  if (slash < 0) {
    int colon = text.Find(':');
    return colon >= 0 ? text.Left(colon + 1) : CString();
  }
  return text.Left(slash + 1);
}

bool MakeUniqueFile(const char* folder, const char* prefix, CString& path) {
  char name[MAX_PATH + 16] = {};
  CString where(folder);
  if (where.IsEmpty()) where = ".";
  if (GetTempFileNameA(where, prefix, 0, name) == 0) return false;
  path = name;
  return true;
}

BesideFile::BesideFile(const char* target) : target(target) {
  if (!MakeUniqueFile(FolderOfPath(target), "~pl", path)) {
    const DWORD error = GetLastError();
    throw CMyException(
        E_CANNOT_SAVE_AS,
        FileErrorText(IDS_CANNOT_SAVE_FILE, HRESULT_FROM_WIN32(error != 0 ? error : ERROR_GEN_FAILURE)));
  }
}

BesideFile::~BesideFile() {
  if (!kept && !path.IsEmpty()) DeleteFileA(path);
}

HRESULT BesideFile::SwapIn() {
  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
  BOOL flushed = FlushFileBuffers(file);
  DWORD flushError = GetLastError();
  CloseHandle(file);
  if (!flushed) return HRESULT_FROM_WIN32(flushError);
  // The finished file is renamed over the target in one step, so a kill at any moment leaves either the
  // old job or the new one under the target's name. ReplaceFile is not used: here it deletes the old file
  // before it moves the new one in, and a kill between the two lost the job. What ReplaceFile would keep
  // of the old file (its creation time and attributes) is carried over by hand.
  WIN32_FILE_ATTRIBUTE_DATA old = {};
  const bool targetExists = GetFileAttributesExA(target, GetFileExInfoStandard, &old) != FALSE;
  if (targetExists) {
    HANDLE created = CreateFileA(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created != INVALID_HANDLE_VALUE) {
      SetFileTime(created, &old.ftCreationTime, nullptr, nullptr);
      CloseHandle(created);
    }
  }
  if (!MoveFileExA(path, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DWORD error = GetLastError();
    return HRESULT_FROM_WIN32(error != 0 ? error : ERROR_GEN_FAILURE);
  }
  constexpr DWORD carried = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if (targetExists && (old.dwFileAttributes & carried) != 0)
    SetFileAttributesA(target, old.dwFileAttributes & carried);
  path.Empty();  // it is the target now
  return S_OK;
}
