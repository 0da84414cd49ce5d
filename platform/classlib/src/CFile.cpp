#include "classlib/CFile.h"

CFile::CFile(LPCTSTR fileName, UINT openFlags) {
  CFileException error(CFileException::none, -1, nullptr, FALSE);
  if (!Open(fileName, openFlags, &error)) AfxThrowFileException(error.m_cause, error.m_lOsError, fileName);
}

CFile::~CFile() {
  if (m_hFile != INVALID_HANDLE_VALUE && m_bCloseOnDelete) Abort();
}

BOOL CFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* error) {
  if (m_hFile != INVALID_HANDLE_VALUE) Abort();
  DWORD access = 0;
  switch (openFlags & 3) {
    case modeRead:
      access = GENERIC_READ;
      break;
    case modeWrite:
      access = GENERIC_WRITE;
      break;
    default:
      access = GENERIC_READ | GENERIC_WRITE;
      break;
  }
  DWORD share = 0;
  switch (openFlags & 0x70) {
    case shareDenyWrite:
      share = FILE_SHARE_READ;
      break;
    case shareDenyRead:
      share = FILE_SHARE_WRITE;
      break;
    case shareDenyNone:
      share = FILE_SHARE_READ | FILE_SHARE_WRITE;
      break;
    default:
      share = 0;
      break;
  }
  DWORD creation = OPEN_EXISTING;
  if (openFlags & modeCreate) creation = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
  SECURITY_ATTRIBUTES security = {sizeof(security), nullptr, (openFlags & modeNoInherit) ? FALSE : TRUE};
  HANDLE file = CreateFileA(fileName, access, share, &security, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (error != nullptr) {
      error->m_lOsError = static_cast<LONG>(GetLastError());
      error->m_cause = CFileException::OsErrorToException(error->m_lOsError);
      error->m_strFileName = fileName;
    }
    return FALSE;
  }
  m_hFile = file;
  m_strFileName = fileName;
  m_bCloseOnDelete = TRUE;
  return TRUE;
}

void CFile::ThrowLastError() const {
  LONG code = static_cast<LONG>(GetLastError());
  AfxThrowFileException(CFileException::OsErrorToException(code), code, m_strFileName);
}

void CFile::Close() {
  BOOL failed = FALSE;
  if (m_hFile != INVALID_HANDLE_VALUE) failed = !CloseHandle(m_hFile);
  m_hFile = INVALID_HANDLE_VALUE;
  m_bCloseOnDelete = FALSE;
  if (failed) ThrowLastError();
}

void CFile::Abort() {
  if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
  m_hFile = INVALID_HANDLE_VALUE;
  m_bCloseOnDelete = FALSE;
}

UINT CFile::Read(void* buffer, UINT count) {
  if (count == 0) return 0;
  DWORD got = 0;
  if (!ReadFile(m_hFile, buffer, count, &got, nullptr)) ThrowLastError();
  return got;
}

void CFile::Write(const void* buffer, UINT count) {
  if (count == 0) return;
  DWORD written = 0;
  if (!WriteFile(m_hFile, buffer, count, &written, nullptr)) ThrowLastError();
  if (written != count) AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER position;
  DWORD method = from == end ? FILE_END : from == current ? FILE_CURRENT : FILE_BEGIN;
  if (!SetFilePointerEx(m_hFile, distance, &position, method)) ThrowLastError();
  return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetPosition() const {
  LARGE_INTEGER zero = {};
  LARGE_INTEGER position;
  if (!SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT)) ThrowLastError();
  return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(m_hFile, &size)) ThrowLastError();
  return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::SetLength(ULONGLONG newLength) {
  Seek(static_cast<LONGLONG>(newLength), begin);
  if (!SetEndOfFile(m_hFile)) ThrowLastError();
}

void CFile::Flush() {
  if (m_hFile != INVALID_HANDLE_VALUE && !FlushFileBuffers(m_hFile)) ThrowLastError();
}

BOOL CFile::GetStatus(CFileStatus& status) const {
  status = CFileStatus();
  BY_HANDLE_FILE_INFORMATION info;
  if (m_hFile == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(m_hFile, &info)) return FALSE;
  lstrcpynA(status.m_szFullName, m_strFileName, MAX_PATH);
  status.m_ctime = CTime(info.ftCreationTime);
  status.m_atime = CTime(info.ftLastAccessTime);
  status.m_mtime = CTime(info.ftLastWriteTime);
  status.m_size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  status.m_attribute = static_cast<BYTE>(info.dwFileAttributes);
  return TRUE;
}

BOOL CFile::GetStatus(LPCTSTR fileName, CFileStatus& status) {
  status = CFileStatus();
  if (fileName == nullptr) return FALSE;
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExA(fileName, GetFileExInfoStandard, &info)) return FALSE;
  if (GetFullPathNameA(fileName, MAX_PATH, status.m_szFullName, nullptr) == 0)
    lstrcpynA(status.m_szFullName, fileName, MAX_PATH);
  status.m_ctime = CTime(info.ftCreationTime);
  status.m_atime = CTime(info.ftLastAccessTime);
  status.m_mtime = CTime(info.ftLastWriteTime);
  status.m_size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  status.m_attribute = static_cast<BYTE>(info.dwFileAttributes);
  return TRUE;
}
